#include "game/PlayerValues.h"

#include <cstdio>

namespace slamwise {

std::string rawCell(unsigned value, int hexDigits) {
    char text[24];
    std::snprintf(text, sizeof text, "raw:0x%0*X", hexDigits, value);
    return text;
}

int rawDigits(Rating rating) {
    return rating == Rating::Speed || rating == Rating::Three ? 4 : 2;
}

FieldValue shownValue(const PlayerRecord& record, PlayerField field) {
    const Player player = decodePlayer(record);
    switch (field) {
        case PlayerField::Ai:
            return isSliderPosition(player.ai) ? FieldValue(long{player.ai})
                                               : FieldValue(rawCell(record.aiWord, 4));
        case PlayerField::Skin:
            return player.skin
                       ? FieldValue(std::string(kSkinNames[static_cast<std::size_t>(*player.skin)]))
                       : FieldValue(rawCell(record.skinCode, 4));
        case PlayerField::Height:
            return player.height ? FieldValue(std::string(
                                       kHeightNames[static_cast<std::size_t>(*player.height)]))
                                 : FieldValue(rawCell(record.height, 2));
        case PlayerField::Index:
            return FieldValue(long{0});  // not a field of the record
        default:
            break;
    }
    const auto rating = static_cast<std::size_t>(field);
    const std::optional<int>& value = player.ratings[rating];
    return value && isRating(*value) ? FieldValue(long{*value})
                                     : FieldValue(rawCell(storedRatings(record)[rating],
                                                          rawDigits(static_cast<Rating>(field))));
}

std::string textOf(const FieldValue& value) {
    if (const long* number = std::get_if<long>(&value)) {
        return std::to_string(*number);
    }
    return std::get<std::string>(value);
}

}  // namespace slamwise
