#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "game/ActualTable.h"
#include "game/Encodings.h"
#include "game/VisualTable.h"
#include "storage/Edit.h"

namespace slamwise {

// The eight ratings in the order of the visual record.
enum class Rating { Speed, Three, Dunk, Pass, Power, Steal, Block, Clutch };
inline constexpr int kRatingCount = kVisualRatingCount;

// The fields of a player that the editor reads and writes, and the player's index, by the names
// the command line gives its columns and every message uses: the ratings in Rating order, then
// ai, skin, height, index.
enum class PlayerField {
    Speed,
    Three,
    Dunk,
    Pass,
    Power,
    Steal,
    Block,
    Clutch,
    Ai,
    Skin,
    Height,
    Index
};
inline constexpr std::array<std::string_view, 12> kPlayerFieldNames = {
    "speed", "three_point", "dunk", "pass", "power",  "steal",
    "block", "clutch",      "ai",   "skin", "height", "index"};
constexpr std::string_view nameOf(PlayerField field) {
    return kPlayerFieldNames[static_cast<std::size_t>(field)];
}
constexpr PlayerField fieldOf(Rating rating) {
    return static_cast<PlayerField>(rating);
}

// A player as the editor understands its stored record: the one decoding, used by the window,
// the command line and the tests. Where the stored value has no meaning the field is empty; a
// plain rating is the stored byte, whatever it holds.
struct Player {
    std::uint8_t value = 0;
    std::array<std::optional<int>, kRatingCount> ratings{};
    int ai = kAiSliderZero;  // the slider position; outside 0..16 when the word is out of range
    std::optional<Skin> skin;
    std::optional<Height> height;
    bool operator==(const Player&) const = default;
};

Player decodePlayer(const PlayerRecord& record);
// The stored form of each rating (a code or a byte), in Rating order.
std::array<unsigned, kRatingCount> storedRatings(const PlayerRecord& record);

// A rating the editor writes: 0 to 10.
constexpr bool isRating(int value) {
    return value >= 0 && value <= kMaxRating;
}

// The change one save makes to a player: any subset of the fields; an empty field keeps its
// bytes. The window fills it from its controls, the command line from a row.
struct PlayerEdit {
    int player = 0;
    std::array<std::optional<int>, kRatingCount> ratings{};
    std::optional<int> ai;  // slider position
    std::optional<Skin> skin;
    std::optional<Height> height;
    // The displayed copy's ratings where they are to differ from the playing ones (the league
    // table edits both copies): a given one is written instead of ratings[r] into the visual
    // record.
    std::array<std::optional<int>, kRatingCount> shown{};

    struct Problem {
        PlayerField field;
        std::string reason;  // "is not a rating from 0 to 10"
    };
    // The player that does not exist, and every value that cannot be written.
    std::vector<Problem> problems() const;

    // Adds the given fields, already checked, to the edit: first the playing record's, front to
    // back, then the displayed copy's (a shown rating before a playing one), when the layout has
    // a copy for the player (the standard layout has none for players 128 and up). The player
    // value is never written. A save of many players writes every playing record before the
    // copies, so that the edit goes front to back in two runs.
    void encode(Edit& edit, VisualLayout layout) const;
    void encodePlaying(Edit& edit) const;
    void encodeDisplayed(Edit& edit, VisualLayout layout) const;
};

}  // namespace slamwise
