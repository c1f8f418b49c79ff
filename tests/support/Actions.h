#pragma once

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "rom/Edit.h"
#include "rom/Result.h"
#include "rom/RomFile.h"

namespace slamwise::test {

// Image bytes [begin, end).
struct Region {
    std::uint32_t begin;
    std::uint32_t end;
};

// One writing action of the editor as the core performs it: read what the window would read,
// build the action's one Edit. mayWrite lists the fields the action is allowed to change, worked
// out from the table layouts, not from the edit.
struct Action {
    std::string name;
    std::function<Result<Edit>(const RomFile&)> build;
    std::vector<Region> mayWrite;
    // How the action runs; when not set, its edit is built and applied.
    std::function<Status(RomFile&)> run;
    Status perform(RomFile& rom) const;
};

bool inside(const std::vector<Region>& regions, std::uint32_t offset);

// Builds the action's edit and applies it.
Status perform(const Action& action, RomFile& rom);

// One action of every kind, with fixed arguments.
std::vector<Action> representativeActions();

// An action of a random kind with random arguments.
Action randomAction(std::mt19937& random);

// Runs body in a child process and returns the child's exit status: body's result, or the
// code of a fault plan that ended it (-1 when it did not end normally).
int inChild(const std::function<int()>& body);

}  // namespace slamwise::test
