#include "tests/support/Actions.h"

#include <algorithm>

#include "cheats/CheatBytes.h"
#include "roster/RosterTable.h"

namespace slamwise::test {

namespace {

// A made-up change in several parts: bytes, a word, a block, the same byte again, and a word at
// the very end of a 2 MiB image.
constexpr std::uint32_t kSyntheticByte = 0x10;
constexpr std::uint32_t kSyntheticWord = 0x4001;
constexpr std::uint32_t kSyntheticBlock = 0x20000;
constexpr std::uint32_t kSyntheticBlockSize = 300;
constexpr std::uint32_t kSyntheticLastWord = 0x1FFFFE;

Action syntheticAction(std::uint32_t seed) {
    Action action;
    action.name = "synthetic multi-part edit";
    action.build = [seed](const RomFile&) -> Result<Edit> {
        std::mt19937 random(seed);
        Edit edit;
        edit.put8(kSyntheticByte, static_cast<std::uint8_t>(random()));
        edit.put16(kSyntheticWord, static_cast<std::uint16_t>(random()));
        std::vector<std::uint8_t> block(kSyntheticBlockSize);
        for (std::uint8_t& byte : block) {
            byte = static_cast<std::uint8_t>(random());
        }
        edit.putBytes(kSyntheticBlock, std::move(block));
        edit.put8(kSyntheticByte, static_cast<std::uint8_t>(random()));
        edit.put16(kSyntheticLastWord, static_cast<std::uint16_t>(random()));
        return edit;
    };
    action.mayWrite = {{kSyntheticByte, kSyntheticByte + 1},
                       {kSyntheticWord, kSyntheticWord + 2},
                       {kSyntheticBlock, kSyntheticBlock + kSyntheticBlockSize},
                       {kSyntheticLastWord, kSyntheticLastWord + 2}};
    return action;
}

std::uint32_t slotStart(int team, int slot) {
    return teamOffset(team) + static_cast<std::uint32_t>(slot) * kRosterSlotSize;
}

Region byteAt(std::uint32_t offset) {
    return {offset, offset + 1};
}

// The roster window shows the slot, then Apply writes the two codes.
Action rosterWriteAction(int team, int slot, RosterSlot codes) {
    Action action;
    action.name = "roster write slot";
    action.build = [=](const RomFile& rom) -> Result<Edit> {
        if (Result<RosterSlot> shown = readSlot(rom, team, slot); !shown) {
            return shown.status();
        }
        Edit edit;
        if (Status status = writeSlot(edit, team, slot, codes); !status) {
            return status;
        }
        return edit;
    };
    action.mayWrite = {byteAt(slotStart(team, slot) + kSlotPosition1),
                       byteAt(slotStart(team, slot) + kSlotPosition2)};
    return action;
}

Action endRosterAction(int team, int slot) {
    Action action;
    action.name = "end roster";
    action.build = [=](const RomFile& rom) -> Result<Edit> {
        if (Result<RosterSlot> shown = readSlot(rom, team, slot); !shown) {
            return shown.status();
        }
        Edit edit;
        if (Status status = endRoster(edit, team, slot); !status) {
            return status;
        }
        return edit;
    };
    action.mayWrite = {byteAt(slotStart(team, slot) + kSlotPosition1),
                       byteAt(slotStart(team, slot) + kSlotCompanion)};
    return action;
}

// The cheat window loads both bytes, the user flips some switches, Apply writes both.
Action cheatAction(std::uint8_t flip1, std::uint8_t flip2) {
    Action action;
    action.name = "cheat bytes";
    action.build = [=](const RomFile& rom) -> Result<Edit> {
        Result<CheatBytes> shown = readCheatBytes(rom);
        if (!shown) {
            return shown.status();
        }
        Edit edit;
        writeCheatBytes(edit, {static_cast<std::uint8_t>(shown->first ^ flip1),
                               static_cast<std::uint8_t>(shown->second ^ flip2)});
        return edit;
    };
    action.mayWrite = {byteAt(kCheatByte1), byteAt(kCheatByte2)};
    return action;
}

}  // namespace

bool inside(const std::vector<Region>& regions, std::uint32_t offset) {
    return std::any_of(regions.begin(), regions.end(), [offset](const Region& region) {
        return offset >= region.begin && offset < region.end;
    });
}

Status perform(const Action& action, RomFile& rom) {
    Result<Edit> edit = action.build(rom);
    if (!edit) {
        return edit.status();
    }
    return rom.apply(*edit);
}

std::vector<Action> representativeActions() {
    return {
        syntheticAction(7),
        rosterWriteAction(3, 5, {0x12, 0x34}),
        endRosterAction(kRosterTeamCount - 1, kRosterSlotCount - 1),
        cheatAction(0x81, 0x42),
    };
}

Action randomAction(std::mt19937& random) {
    auto below = [&random](int limit) {
        return static_cast<int>(random() % static_cast<unsigned>(limit));
    };
    auto anyByte = [&random] { return static_cast<std::uint8_t>(random()); };
    switch (below(4)) {
        case 0:
            return syntheticAction(static_cast<std::uint32_t>(random()));
        case 1: {
            int team = below(kRosterTeamCount);
            int slot = below(kRosterSlotCount);
            std::uint8_t position1 = anyByte();
            return rosterWriteAction(team, slot, {position1, anyByte()});
        }
        case 2: {
            int team = below(kRosterTeamCount);
            return endRosterAction(team, below(kRosterSlotCount));
        }
        default: {
            std::uint8_t flip1 = anyByte();
            return cheatAction(flip1, anyByte());
        }
    }
}

}  // namespace slamwise::test
