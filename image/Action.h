#pragma once

#include <functional>
#include <string>
#include <vector>

#include "game/CheatBytes.h"
#include "game/PlayerEdit.h"
#include "game/RosterTable.h"
#include "image/OpenedImage.h"
#include "storage/Edit.h"
#include "storage/Result.h"

namespace slamwise {

// One thing a person does to the open image, as a small value: its name in the list of changes
// to undo ("Apply to Player 037") and how it builds its edit from the image as it is now, after
// every check the action needs. Session::apply is the one place that runs it; the windows and
// the command line only choose an action and show what came of it.
struct Action {
    std::string label;
    std::function<Result<Edit>(const OpenedImage&)> build;
};

// Whether one player's save passes every check: the image's player data may be written, every
// value can be written, and the file holds the displayed copy of the layout in use.
Status checkPlayerSave(const OpenedImage& image, const PlayerEdit& player);

// Adds one player's save to the edit after those checks. Fails, adding nothing, otherwise.
Status addPlayerSave(Edit& edit, const OpenedImage& image, const PlayerEdit& player);

// The player form's Apply, the command line's player rows: each given field of each player,
// checked, in the playing records, then the displayed copies where the layout has one for the
// player.
Action savePlayers(std::string label, std::vector<PlayerEdit> players);

// The two entry codes of one roster slot.
Action saveSlot(std::string label, int team, int slot, RosterSlot codes);
// Any number of slots, for the command line's roster rows.
struct SlotSave {
    int team = 0;
    int slot = 0;
    RosterSlot codes;
};
Action saveSlots(std::string label, std::vector<SlotSave> slots);
// "Make Last Player": the team's roster ends at the slot.
Action endRosterAt(int team, int slot);

// The two cheat bytes.
Action saveCheats(CheatBytes bytes);

// The relocation of the visual table, once.
Action relocateVisualTable();

// The checksum and its complement, made to match the image.
Action fixChecksum();

// An edit made and checked elsewhere (an applied patch): written as it is, when the image is
// taken for an image of the game.
Action writeEdit(std::string label, Edit edit);

}  // namespace slamwise
