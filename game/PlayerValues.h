#pragma once

#include <array>
#include <string>
#include <string_view>
#include <variant>

#include "game/ActualTable.h"
#include "game/PlayerEdit.h"

namespace slamwise {

// How a player's fields are shown, the same in the export, the list of changes and the windows:
// the value where the editor knows the stored value's meaning, else the stored value raw.

// A shown value: a number or a text.
using FieldValue = std::variant<long, std::string>;

// The texts of the skin codes (in Skin order) and of the height byte (in Height order).
inline constexpr std::array<std::string_view, 3> kSkinNames = {"black", "black-unused", "white"};
inline constexpr std::array<std::string_view, 2> kHeightNames = {"normal", "small"};

// "raw:0x1234": a stored value that has no meaning the editor knows, shown as it is stored.
std::string rawCell(unsigned value, int hexDigits);

// How many hex digits a rating is stored with: 4 for the coded words, 2 for the plain bytes.
int rawDigits(Rating rating);

// The value of one field of a record (every field but the index): a rating 0 to 10, a slider
// position 0 to 16, a skin or height text, or the raw stored value.
FieldValue shownValue(const PlayerRecord& record, PlayerField field);

// The value as text: a number in decimal, a text as it is.
std::string textOf(const FieldValue& value);

}  // namespace slamwise
