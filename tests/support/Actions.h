#pragma once

#include <functional>
#include <string>
#include <vector>

#include "storage/Edit.h"
#include "storage/Result.h"
#include "storage/RomFile.h"

namespace slamwise::test {

// One writing action of the editor as the core performs it: build reads what the window reads
// and fills in the action's one Edit; run, when set, replaces building and applying.
struct Action {
    std::string name;
    std::function<Status(const RomFile&, Edit&)> build;
    std::function<Status(RomFile&)> run = {};
    Status perform(RomFile& rom) const;
};

// One action of every kind, with fixed arguments.
std::vector<Action> representativeActions();

// Runs body in a child process: its result, the exit code of a fault plan that ended it, or -1.
int inChild(const std::function<int()>& body);

}  // namespace slamwise::test
