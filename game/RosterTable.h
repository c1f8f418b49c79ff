#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "storage/Edit.h"
#include "storage/Result.h"
#include "storage/RomFile.h"

namespace slamwise {

struct GameNames;

// The roster table: one 80-byte record per team, each record twenty 4-byte slots. It lies at
// the same place in every release of the game.
constexpr std::uint32_t kRosterTable = 0xB18CF;  // first byte of team 0's record
constexpr int kRosterTeamCount = 29;             // 27 league teams, "All-Stars", "Rookies"
constexpr std::uint32_t kRosterTeamSize = 80;    // bytes per team record
constexpr int kRosterSlotCount = 20;             // slots per team record
constexpr std::uint32_t kRosterSlotSize = 4;     // bytes per slot

// The bytes of one slot, relative to its start.
constexpr std::uint32_t kSlotPosition1 = 0;  // Position #1 entry code
constexpr std::uint32_t kSlotCompanion = 1;  // companion of Position #1, set only when ending
constexpr std::uint32_t kSlotPosition2 = 2;  // Position #2 entry code; byte +3 is never used

// Entry codes with a meaning of their own.
constexpr std::uint8_t kEndOfRosterCode = 0xFE;  // this slot and all later ones are empty
constexpr std::uint8_t kEndOfRosterMark = 0xFF;  // stored in the companion byte when ending
constexpr std::uint8_t kLastPlayerCode = 0xA9;   // codes 0x00-0xA9 are players
constexpr int kRosterEntryCount = 256;           // every byte value has a list entry

// The two entry codes of a slot.
struct RosterSlot {
    std::uint8_t position1 = 0;
    std::uint8_t position2 = 0;
    bool operator==(const RosterSlot&) const = default;
};

constexpr bool isRosterTeam(int team) {
    return team >= 0 && team < kRosterTeamCount;
}
constexpr bool isRosterSlot(int slot) {
    return slot >= 0 && slot < kRosterSlotCount;
}

// Offset of a team's record. Teams outside 0-28 have none: the answer is then 0, which no
// roster operation uses (they check the indices themselves).
constexpr std::uint32_t teamOffset(int team) {
    return isRosterTeam(team) ? kRosterTable + kRosterTeamSize * static_cast<std::uint32_t>(team)
                              : 0;
}

// Reads Position #1 (+0) and Position #2 (+2) of a slot, the slot in one read.
Result<RosterSlot> readSlot(const RomFile& rom, int team, int slot);

// The twenty slots of one team, in order.
using RosterTeam = std::array<RosterSlot, kRosterSlotCount>;
// Every team's slots, teams 0..28 in order, the whole table in one read.
Result<std::vector<RosterTeam>> readRosterTable(const RomFile& rom);

// Adds Position #1 (+0), then Position #2 (+2) to the edit. Bytes +1 and +3 stay as they are.
// Fails, adding nothing, for a team or slot outside the table.
Status writeSlot(Edit& edit, int team, int slot, RosterSlot codes);

// Ends the team's roster at the slot: 0xFE at +0, then 0xFF at +1. Position #2 and the later
// slots keep their bytes. Fails, adding nothing, for a team or slot outside the table.
Status endRoster(Edit& edit, int team, int slot);

// The text of an entry code in the player selection list: "00-<name> (*)", "01-<name>" to
// "A9-<name>", "FE-End of Team Roster Data", and "Unknown/Dummy" for every other code.
std::string rosterEntryText(const GameNames& names, std::uint8_t code);

}  // namespace slamwise
