#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace slamwise {

// How the coded fields of an actual record hold their values. Pure mappings, no file access.

inline constexpr int kMaxRating = 10;  // ratings run 0..10; every save clamps to this

// Speed codes by rating 0..10. The steps are uneven: the codes come from the game, not a formula.
inline constexpr std::array<std::uint16_t, 11> kSpeedCodes = {
    0x13F8, 0x1455, 0x14A7, 0x14FA, 0x154C, 0x159F, 0x15F1, 0x1644, 0x1711, 0x1777, 0x17DE};

// Three-point shooting codes by rating 0..10.
inline constexpr std::array<std::uint16_t, 11> kThreePointCodes = {
    0x02BC, 0x02EE, 0x0320, 0x035C, 0x03A2, 0x03CA, 0x0410, 0x044C, 0x0460, 0x0492, 0x04E2};

// The rating a stored code stands for; nothing when the code is not in the table.
std::optional<int> speedFromCode(std::uint16_t code);
std::optional<int> threeFromCode(std::uint16_t code);
// The code of a rating; nothing for a rating outside 0..10.
std::optional<std::uint16_t> codeFromSpeed(int rating);
std::optional<std::uint16_t> codeFromThree(int rating);

// The AI setting is a signed word equal to the slider position minus 11.
inline constexpr int kAiSliderMin = 0;
inline constexpr int kAiSliderMax = 16;
inline constexpr int kAiSliderZero = 11;  // slider position of a stored 0

// Slider position of a stored word: the signed word plus 11, so words outside -11..5 give
// positions the slider does not have.
int sliderFromWord(std::uint16_t word);
constexpr bool isSliderPosition(int position) {
    return position >= kAiSliderMin && position <= kAiSliderMax;
}
// The word stored for a slider position (clamped to 0..16 first).
std::uint16_t wordFromSlider(int position);

// Skin tone codes, compared and written as unsigned words.
enum class Skin { Black, BlackUnused, White };
inline constexpr std::uint16_t kSkinBlackCode = 0xB77F;
inline constexpr std::uint16_t kSkinBlackUnusedCode = 0xB781;
inline constexpr std::uint16_t kSkinWhiteCode = 0xB789;

std::optional<Skin> skinFromCode(std::uint16_t code);
std::uint16_t codeFromSkin(Skin skin);

}  // namespace slamwise
