#include "tests/support/Actions.h"

#include <sys/wait.h>
#include <unistd.h>

#include "game/CheatBytes.h"
#include "game/PlayerEdit.h"
#include "game/Relocation.h"
#include "game/RosterTable.h"

namespace slamwise::test {

Status Action::perform(RomFile& rom) const {
    if (run) {
        return run(rom);
    }
    Edit edit;
    Status status = build(rom, edit);
    return status ? rom.apply(edit) : status;
}

std::vector<Action> representativeActions() {
    // A made-up change in several parts: a byte (set twice), a word, a block, and the last word
    // of a 2 MiB image.
    auto synthetic = [](const RomFile&, Edit& edit) {
        std::vector<std::uint8_t> block(300);
        for (std::size_t i = 0; i < block.size(); ++i) {
            block[i] = static_cast<std::uint8_t>(i * 7 + 3);
        }
        edit.put8(0x10, 0xA5);
        edit.put16(0x4001, 0x1234);
        edit.putBytes(0x20000, std::move(block));
        edit.put8(0x10, 0x5A);
        edit.put16(0x1FFFFE, 0xBEEF);
        return Status();
    };
    // The cheat window loads both bytes, the user flips some switches, Apply writes both.
    auto cheats = [](const RomFile& rom, Edit& edit) {
        Result<CheatBytes> shown = readCheatBytes(rom);
        if (shown) {
            writeCheatBytes(edit, {static_cast<std::uint8_t>(shown->first ^ 0x81),
                                   static_cast<std::uint8_t>(shown->second ^ 0x42)});
        }
        return shown.status();
    };
    // Apply in the player editor saves the actual record and the visual record of the layout
    // found.
    auto player = [](const RomFile& rom, Edit& edit) {
        Result<RelocationState> state = detectRelocation(rom);
        const PlayerEdit save{
            kPlayerCount - 1, {7, 8, 1, 4, 5, 3, 2, 6}, 16, Skin::White, Height::Small};
        if (state) {
            save.encode(edit, *state == RelocationState::Relocated ? VisualLayout::Relocated
                                                                   : VisualLayout::Standard);
        }
        return state.status();
    };
    auto relocation = [](const RomFile& rom, Edit& edit) {
        Result<Edit> made = relocationEdit(rom);
        Status status = made.status();
        if (made) {
            edit = std::move(made).value();
        }
        return status;
    };
    auto slot = [](const RomFile&, Edit& edit) { return writeSlot(edit, 3, 5, {0x12, 0x34}); };
    auto end = [](const RomFile&, Edit& edit) {
        return endRoster(edit, kRosterTeamCount - 1, kRosterSlotCount - 1);
    };
    return {{"synthetic multi-part edit", synthetic},
            {"roster write slot", slot},
            {"end roster", end},
            {"cheat bytes", cheats},
            {"player save", player},
            {"relocation", relocation}};
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
