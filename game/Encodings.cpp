#include "game/Encodings.h"

#include <algorithm>

namespace slamwise {

namespace {

std::optional<int> ratingFromCode(const std::array<std::uint16_t, 11>& codes, std::uint16_t code) {
    for (std::size_t rating = 0; rating < codes.size(); ++rating) {
        if (codes[rating] == code) {
            return static_cast<int>(rating);
        }
    }
    return std::nullopt;
}

std::optional<std::uint16_t> codeFromRating(const std::array<std::uint16_t, 11>& codes,
                                            int rating) {
    if (rating < 0 || rating > kMaxRating) {
        return std::nullopt;
    }
    return codes[static_cast<std::size_t>(rating)];
}

}  // namespace

std::optional<int> speedFromCode(std::uint16_t code) {
    return ratingFromCode(kSpeedCodes, code);
}
std::optional<int> threeFromCode(std::uint16_t code) {
    return ratingFromCode(kThreePointCodes, code);
}
std::optional<std::uint16_t> codeFromSpeed(int rating) {
    return codeFromRating(kSpeedCodes, rating);
}
std::optional<std::uint16_t> codeFromThree(int rating) {
    return codeFromRating(kThreePointCodes, rating);
}

int sliderFromWord(std::uint16_t word) {
    return static_cast<std::int16_t>(word) + kAiSliderZero;
}

std::uint16_t wordFromSlider(int position) {
    int value = std::clamp(position, kAiSliderMin, kAiSliderMax) - kAiSliderZero;
    return static_cast<std::uint16_t>(static_cast<std::int16_t>(value));
}

std::optional<Skin> skinFromCode(std::uint16_t code) {
    switch (code) {
        case kSkinBlackCode:
            return Skin::Black;
        case kSkinBlackUnusedCode:
            return Skin::BlackUnused;
        case kSkinWhiteCode:
            return Skin::White;
        default:
            return std::nullopt;
    }
}

std::uint16_t codeFromSkin(Skin skin) {
    switch (skin) {
        case Skin::Black:
            return kSkinBlackCode;
        case Skin::BlackUnused:
            return kSkinBlackUnusedCode;
        case Skin::White:
            return kSkinWhiteCode;
    }
    return kSkinBlackCode;
}

}  // namespace slamwise
