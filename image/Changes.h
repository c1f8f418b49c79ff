#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "game/Identify.h"
#include "game/Names.h"
#include "game/PlayerValues.h"
#include "image/OpenedImage.h"
#include "storage/Edit.h"

namespace slamwise {

// What changed between two images of one release, in the game's terms: the players' fields, the
// roster slots, the cheat switches, the relocation of the visual table, the checksum, and every
// other changed byte as a range. The command line prints it; the windows preview an action or a
// patch with it.

enum class ChangeKind { Player, Visual, Roster, Cheat, Relocation, Checksum, Bytes };

// "player", "visual", "roster", "cheat", "relocation", "checksum", "bytes".
std::string_view nameOf(ChangeKind kind);

struct Change {
    ChangeKind kind = ChangeKind::Bytes;
    int index = -1;       // Player, Visual: the player 0-168
    std::string name{};   // Player, Visual: the player's name; Cheat: the switch's
    std::string field{};  // Player, Visual: the export's column ("speed", "visual_speed");
                          // Roster: "companion" for the byte beside Position #1;
                          // Checksum: "checksum" or "complement"
    int team = -1;        // Roster: team 0-28
    int slot = -1;        // Roster: slot 1-20, as the roster window numbers them
    int position = 0;     // Roster: the entry code, 1 or 2 (0 for the companion byte)
    FieldValue
        before{};  // as the export shows it; "0x12" codes, "off"/"on", "standard"/"relocated"
    FieldValue after{};
    std::string beforeName{};  // Roster: what the entry codes stand for ("Player 018")
    std::string afterName{};
    std::uint32_t offset = 0;  // Bytes: the first changed byte
    std::uint32_t length = 0;  // Bytes: how many changed bytes follow in a row

    bool operator==(const Change&) const = default;
};

// The image as the edit would leave it (writes past its end are cut off).
std::vector<std::uint8_t> withEdit(std::span<const std::uint8_t> image, const Edit& edit);

// The changes from `before` to `after`, two images (without copier header) of `release`:
// the relocation first, then the players by index (actual fields in the export's column order,
// then the visual ratings), the roster slots, the cheat switches, the checksum, and the other
// bytes by offset. Only the data the release has is decoded, and only tables the image holds
// whole; the rest is bytes. When `after` is relocated and `before` is not, one Relocation change
// stands for every byte the relocation writes, and `after` is compared with `before` as the
// relocation would leave it. Bytes past the end of the shorter image are one range of bytes.
std::vector<Change> gameChangesBetween(std::span<const std::uint8_t> before,
                                       std::span<const std::uint8_t> after, Release release,
                                       const GameNames& names);

// Whether two open images can be compared: they must be of one release and hold as many bytes
// without their copier headers. The refusal names both by their paths.
Status canCompare(const OpenedImage& before, const OpenedImage& after);

// One line: "Player 037 (Some Name): speed 5 -> 7", "Team 03 slot 4: position 1 0x12
// (Player 018) -> 0x20 (Player 032)", "Cheat \"Quick Hands\": off -> on", "Visual table
// relocated", "Checksum: 0x30BD -> 0x41C2", "Other bytes: $0451A0-$0451AF (16 bytes)".
std::string describe(const Change& change);

// "12 players, 3 roster slots, 1 cheat switch, 16 other bytes": distinct players, slots and
// switches, the relocation and the checksum when they changed, and the other bytes; "no changes"
// for none.
std::string summarize(const std::vector<Change>& changes);

}  // namespace slamwise
