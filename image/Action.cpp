#include "image/Action.h"

#include <utility>

#include "game/Checksum.h"
#include "game/Relocation.h"
#include "storage/FileIo.h"

namespace slamwise {

Status checkPlayerSave(const OpenedImage& image, const PlayerEdit& player) {
    if (Status status = image.allows(Table::Players); !status) {
        return status;
    }
    std::string message;
    for (const PlayerEdit::Problem& problem : player.problems()) {
        message += (message.empty() ? "" : "\n") + std::string(nameOf(problem.field)) + " " +
                   problem.reason;
    }
    if (!message.empty()) {
        return Status::failure(message);
    }
    if (hasVisualRecord(image.visualLayout(), player.player)) {
        if (Status status = image.allows(Table::Visual); !status) {
            return status;
        }
    }
    return {};
}

Status addPlayerSave(Edit& edit, const OpenedImage& image, const PlayerEdit& player) {
    if (Status status = checkPlayerSave(image, player); !status) {
        return status;
    }
    player.encode(edit, image.visualLayout());
    return {};
}

Action savePlayers(std::string label, std::vector<PlayerEdit> players) {
    return {std::move(label), [players = std::move(players)](const OpenedImage& image) {
                for (const PlayerEdit& player : players) {
                    if (Status status = checkPlayerSave(image, player); !status) {
                        return Result<Edit>(status);
                    }
                }
                // Every playing record, then every displayed copy: two runs front to back.
                Edit edit;
                for (const PlayerEdit& player : players) {
                    player.encodePlaying(edit);
                }
                for (const PlayerEdit& player : players) {
                    player.encodeDisplayed(edit, image.visualLayout());
                }
                return Result<Edit>(std::move(edit));
            }};
}

Action saveSlot(std::string label, int team, int slot, RosterSlot codes) {
    return saveSlots(std::move(label), {{team, slot, codes}});
}

Action saveSlots(std::string label, std::vector<SlotSave> slots) {
    return {std::move(label), [slots = std::move(slots)](const OpenedImage& image) {
                if (Status status = image.allows(Table::Rosters); !status) {
                    return Result<Edit>(status);
                }
                Edit edit;
                for (const SlotSave& save : slots) {
                    if (Status status = writeSlot(edit, save.team, save.slot, save.codes);
                        !status) {
                        return Result<Edit>(status);
                    }
                }
                return Result<Edit>(std::move(edit));
            }};
}

Action endRosterAt(int team, int slot) {
    return {"Make Last Player", [team, slot](const OpenedImage& image) {
                if (Status status = image.allows(Table::Rosters); !status) {
                    return Result<Edit>(status);
                }
                Edit edit;
                if (Status status = endRoster(edit, team, slot); !status) {
                    return Result<Edit>(status);
                }
                return Result<Edit>(std::move(edit));
            }};
}

Action saveCheats(CheatBytes bytes) {
    return {"Cheat Codes", [bytes](const OpenedImage& image) {
                if (Status status = image.allows(Table::Cheats); !status) {
                    return Result<Edit>(status);
                }
                Edit edit;
                writeCheatBytes(edit, bytes);
                return Result<Edit>(std::move(edit));
            }};
}

Action relocateVisualTable() {
    return {"Relocation", [](const OpenedImage& image) {
                if (Status status = image.allows(Table::Relocation); !status) {
                    return Result<Edit>(status);
                }
                if (image.relocated()) {
                    return Result<Edit>(Status::failure(quoted(image.path()) +
                                                        ": the visual data is already relocated."));
                }
                return relocationEdit(image.rom());
            }};
}

Action fixChecksum() {
    return {"Fix Checksum", [](const OpenedImage& image) {
                if (!image.verdict()) {
                    return Result<Edit>(image.verdict());
                }
                Result<ChecksumState> state = checksumOf(image.rom());
                if (!state) {
                    return Result<Edit>(state.status());
                }
                Edit edit;
                addChecksumWrite(edit, state->computed);
                return Result<Edit>(std::move(edit));
            }};
}

Action writeEdit(std::string label, Edit edit) {
    return {std::move(label), [edit = std::move(edit)](const OpenedImage& image) {
                if (!image.verdict()) {
                    return Result<Edit>(image.verdict());
                }
                return Result<Edit>(edit);
            }};
}

}  // namespace slamwise
