#include "tests/support/Actions.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

#include "cheats/CheatBytes.h"
#include "player/PlayerEdit.h"
#include "player/Relocation.h"
#include "player/VisualTable.h"
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

// Apply in the player editor: the window shows the player (detection, then the actual record),
// then one edit saves the actual record and the visual record of the detected layout.
Action playerSaveAction(const PlayerEdit& save) {
    const int player = save.player;
    Action action;
    action.name = "player save";
    action.build = [=](const RomFile& rom) -> Result<Edit> {
        Result<RelocationState> state = detectRelocation(rom);
        if (!state) {
            return state.status();
        }
        if (Result<PlayerRecord> shown = readPlayerRecord(rom, player); !shown) {
            return shown.status();
        }
        VisualLayout layout =
            *state == RelocationState::Relocated ? VisualLayout::Relocated : VisualLayout::Standard;
        Edit edit;
        save.encode(edit, layout);
        return edit;
    };
    const std::uint32_t record = actualOffset(player);
    for (std::uint32_t field : {kDunkField, kBlockField, kStealField, kPassField, kPowerField,
                                kClutchField, kHeightField}) {
        action.mayWrite.push_back(byteAt(record + field));
    }
    for (std::uint32_t field : {kSpeedField, kThreeField, kAiField, kSkinField}) {
        action.mayWrite.push_back({record + field, record + field + 2});
    }
    for (VisualLayout layout : {VisualLayout::Standard, VisualLayout::Relocated}) {
        if (!hasVisualRecord(layout, player)) {
            continue;
        }
        for (int k = 0; k < kVisualRatingCount; ++k) {
            action.mayWrite.push_back(byteAt(visualOffset(layout, player) +
                                             kVisualRatingStep * static_cast<std::uint32_t>(k)));
        }
    }
    return action;
}

Action relocationAction() {
    Action action;
    action.name = "relocation";
    action.build = [](const RomFile& rom) { return relocationEdit(rom); };
    action.mayWrite = {
        {kRelocatedVisualTable, kRelocatedFiller + kFillerWords * 2 /* bytes per filler word */}};
    for (std::uint32_t site : kVisualPointerSites) {
        action.mayWrite.push_back(
            {site, site + static_cast<std::uint32_t>(kRelocatedPointer.size())});
    }
    return action;
}

// Any subset of the fields, each with a value that can be written.
PlayerEdit randomPlayerEdit(std::mt19937& random) {
    auto some = [&random] { return random() % 4 != 0; };
    PlayerEdit save;
    save.player = static_cast<int>(random() % kPlayerCount);
    for (std::optional<int>& rating : save.ratings) {
        if (some()) {
            rating = static_cast<int>(random() % (kMaxRating + 1));
        }
    }
    if (some()) {
        save.ai = static_cast<int>(random() % (kAiSliderMax + 1));
    }
    if (some()) {
        save.skin = static_cast<Skin>(random() % 3);
    }
    if (some()) {
        save.height = random() % 2 == 0 ? Height::Normal : Height::Small;
    }
    return save;
}

}  // namespace

bool inside(const std::vector<Region>& regions, std::uint32_t offset) {
    return std::any_of(regions.begin(), regions.end(), [offset](const Region& region) {
        return offset >= region.begin && offset < region.end;
    });
}

Status Action::perform(RomFile& rom) const {
    return run ? run(rom) : test::perform(*this, rom);
}

Status perform(const Action& action, RomFile& rom) {
    Result<Edit> edit = action.build(rom);
    if (!edit) {
        return edit.status();
    }
    return rom.apply(*edit);
}

std::vector<Action> representativeActions() {
    PlayerEdit first{0, {7, 8, 1, 4, 5, 3, 2, 6}, 16, Skin::White, Height::Small};
    PlayerEdit last = first;
    last.player = kPlayerCount - 1;
    return {
        syntheticAction(7),
        rosterWriteAction(3, 5, {0x12, 0x34}),
        endRosterAction(kRosterTeamCount - 1, kRosterSlotCount - 1),
        cheatAction(0x81, 0x42),
        playerSaveAction(first),
        playerSaveAction(last),
        relocationAction(),
    };
}

Action randomAction(std::mt19937& random) {
    auto below = [&random](int limit) {
        return static_cast<int>(random() % static_cast<unsigned>(limit));
    };
    auto anyByte = [&random] { return static_cast<std::uint8_t>(random()); };
    switch (below(7)) {
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
        case 3: {
            std::uint8_t flip1 = anyByte();
            return cheatAction(flip1, anyByte());
        }
        case 4:
            return relocationAction();
        default:
            return playerSaveAction(randomPlayerEdit(random));
    }
}

int inChild(const std::function<int()>& body) {
    pid_t child = ::fork();
    if (child == 0) {
        ::_exit(body());
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

}  // namespace slamwise::test
