#include "game/RosterTable.h"

#include "game/Names.h"

#include <array>
#include <cstdio>

namespace slamwise {

namespace {

// Offset of one byte of a slot; the indices are checked by the caller.
std::uint32_t slotByte(int team, int slot, std::uint32_t byte) {
    return teamOffset(team) + kRosterSlotSize * static_cast<std::uint32_t>(slot) + byte;
}

Status outsideTable(int team, int slot) {
    return Status::failure("team " + std::to_string(team) + " slot " + std::to_string(slot + 1) +
                           " is not in the roster table (teams 0 to " +
                           std::to_string(kRosterTeamCount - 1) + ", slots 1 to " +
                           std::to_string(kRosterSlotCount) + ")");
}

}  // namespace

Result<RosterSlot> readSlot(const RomFile& rom, int team, int slot) {
    if (!isRosterTeam(team) || !isRosterSlot(slot)) {
        return outsideTable(team, slot);
    }
    std::array<std::uint8_t, kRosterSlotSize> bytes{};
    if (Status status = rom.read(slotByte(team, slot, 0), bytes); !status) {
        return status;
    }
    return RosterSlot{bytes[kSlotPosition1], bytes[kSlotPosition2]};
}

Result<std::vector<RosterTeam>> readRosterTable(const RomFile& rom) {
    std::vector<std::uint8_t> table(std::size_t{kRosterTeamSize} * kRosterTeamCount);
    if (Status status = rom.read(kRosterTable, table); !status) {
        return status;
    }
    std::vector<RosterTeam> teams(kRosterTeamCount);
    for (std::size_t team = 0; team < teams.size(); ++team) {
        for (std::size_t slot = 0; slot < kRosterSlotCount; ++slot) {
            const std::size_t at = team * kRosterTeamSize + slot * kRosterSlotSize;
            teams[team][slot] = {table[at + kSlotPosition1], table[at + kSlotPosition2]};
        }
    }
    return teams;
}

Status writeSlot(Edit& edit, int team, int slot, RosterSlot codes) {
    if (!isRosterTeam(team) || !isRosterSlot(slot)) {
        return outsideTable(team, slot);
    }
    edit.put8(slotByte(team, slot, kSlotPosition1), codes.position1);
    edit.put8(slotByte(team, slot, kSlotPosition2), codes.position2);
    return {};
}

Status endRoster(Edit& edit, int team, int slot) {
    if (!isRosterTeam(team) || !isRosterSlot(slot)) {
        return outsideTable(team, slot);
    }
    edit.put8(slotByte(team, slot, kSlotPosition1), kEndOfRosterCode);
    edit.put8(slotByte(team, slot, kSlotCompanion), kEndOfRosterMark);
    return {};
}

std::string rosterEntryText(const GameNames& names, std::uint8_t code) {
    if (code == kEndOfRosterCode) {
        return "FE-End of Team Roster Data";
    }
    if (code > kLastPlayerCode) {
        return "Unknown/Dummy";
    }
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned>(code));
    std::string text = std::string(digits) + "-";
    if (code < names.players.size()) {
        text += names.players[code];
    }
    if (code == 0) {
        text += " (*)";
    }
    return text;
}

}  // namespace slamwise
