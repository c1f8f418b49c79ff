#include "game/PlayerEdit.h"

#include <utility>

namespace slamwise {

namespace {

constexpr std::size_t at(Rating rating) {
    return static_cast<std::size_t>(rating);
}

}  // namespace

Player decodePlayer(const PlayerRecord& record) {
    Player player;
    player.value = record.value;
    player.ratings = {speedFromCode(record.speedCode),
                      threeFromCode(record.threeCode),
                      record.dunk,
                      record.pass,
                      record.power,
                      record.steal,
                      record.block,
                      record.clutch};
    player.ai = sliderFromWord(record.aiWord);
    player.skin = skinFromCode(record.skinCode);
    if (record.height == static_cast<std::uint8_t>(Height::Normal) ||
        record.height == static_cast<std::uint8_t>(Height::Small)) {
        player.height = static_cast<Height>(record.height);
    }
    return player;
}

std::array<unsigned, kRatingCount> storedRatings(const PlayerRecord& record) {
    return {record.speedCode, record.threeCode, record.dunk,  record.pass,
            record.power,     record.steal,     record.block, record.clutch};
}

std::vector<PlayerEdit::Problem> PlayerEdit::problems() const {
    std::vector<Problem> found;
    if (player < 0 || player >= kPlayerCount) {
        found.push_back({PlayerField::Index,
                         "is not a player (0 to " + std::to_string(kPlayerCount - 1) + ")"});
    }
    for (int r = 0; r < kRatingCount; ++r) {
        const std::optional<int>& rating = ratings[static_cast<std::size_t>(r)];
        if (rating && !isRating(*rating)) {
            found.push_back({fieldOf(static_cast<Rating>(r)),
                             "is not a rating from 0 to " + std::to_string(kMaxRating)});
        }
        const std::optional<int>& copy = shown[static_cast<std::size_t>(r)];
        if (copy && !isRating(*copy)) {
            found.push_back(
                {fieldOf(static_cast<Rating>(r)),
                 "(displayed) is not a rating from 0 to " + std::to_string(kMaxRating)});
        }
    }
    if (ai && !isSliderPosition(*ai)) {
        found.push_back({PlayerField::Ai, "is not a slider position from " +
                                              std::to_string(kAiSliderMin) + " to " +
                                              std::to_string(kAiSliderMax)});
    }
    return found;
}

void PlayerEdit::encode(Edit& edit, VisualLayout layout) const {
    encodePlaying(edit);
    encodeDisplayed(edit, layout);
}

void PlayerEdit::encodePlaying(Edit& edit) const {
    const std::uint32_t base = actualOffset(player);
    auto putRating = [&](std::uint32_t field, Rating rating) {
        if (const std::optional<int>& value = ratings[at(rating)]) {
            edit.put8(base + field, static_cast<std::uint8_t>(*value));
        }
    };
    auto putWord = [&](std::uint32_t field, std::optional<std::uint16_t> word) {
        if (word) {
            edit.put16(base + field, *word);
        }
    };
    // Field by field in the record's order.
    if (height) {
        edit.put8(base + kHeightField, static_cast<std::uint8_t>(*height));
    }
    putWord(kSpeedField, codeFromSpeed(ratings[at(Rating::Speed)].value_or(-1)));
    putWord(kThreeField, codeFromThree(ratings[at(Rating::Three)].value_or(-1)));
    putRating(kDunkField, Rating::Dunk);
    putRating(kBlockField, Rating::Block);
    putRating(kStealField, Rating::Steal);
    putWord(kAiField, ai ? std::optional(wordFromSlider(*ai)) : std::nullopt);
    putRating(kPassField, Rating::Pass);
    putRating(kPowerField, Rating::Power);
    putRating(kClutchField, Rating::Clutch);
    putWord(kSkinField, skin ? std::optional(codeFromSkin(*skin)) : std::nullopt);
}

void PlayerEdit::encodeDisplayed(Edit& edit, VisualLayout layout) const {
    if (!hasVisualRecord(layout, player)) {
        return;
    }
    const std::uint32_t base = visualOffset(layout, player);
    for (int r = 0; r < kRatingCount; ++r) {
        const auto i = static_cast<std::size_t>(r);
        if (const std::optional<int> rating = shown[i] ? shown[i] : ratings[i]) {
            edit.put8(base + kVisualRatingStep * static_cast<std::uint32_t>(r),
                      static_cast<std::uint8_t>(*rating));
        }
    }
}

}  // namespace slamwise
