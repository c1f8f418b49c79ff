#include <gtest/gtest.h>

#include "player/Encodings.h"

namespace slamwise {
namespace {

TEST(PlayerEncodings, SpeedAndThreeCodesRoundTrip) {
    for (int rating = 0; rating <= kMaxRating; ++rating) {
        ASSERT_TRUE(codeFromSpeed(rating));
        ASSERT_TRUE(codeFromThree(rating));
        EXPECT_EQ(speedFromCode(*codeFromSpeed(rating)), rating);
        EXPECT_EQ(threeFromCode(*codeFromThree(rating)), rating);
    }
    EXPECT_EQ(codeFromSpeed(0), 0x13F8);
    EXPECT_EQ(codeFromSpeed(8), 0x1711);
    EXPECT_EQ(codeFromSpeed(10), 0x17DE);
    EXPECT_EQ(codeFromThree(3), 0x035C);
    EXPECT_EQ(codeFromThree(10), 0x04E2);
}

TEST(PlayerEncodings, WordsAndRatingsWithoutCode) {
    for (std::uint16_t word : {0x0000, 0x13F9, 0x1710, 0xFFFF, 0x02BD}) {
        EXPECT_FALSE(speedFromCode(word)) << word;
    }
    for (std::uint16_t word : {0x0000, 0x13F8, 0x02BB, 0x04E3}) {
        EXPECT_FALSE(threeFromCode(word)) << word;
    }
    for (int rating : {-1, 11, 99}) {
        EXPECT_FALSE(codeFromSpeed(rating));
        EXPECT_FALSE(codeFromThree(rating));
    }
}

TEST(PlayerEncodings, AiSliderRoundTrip) {
    for (int position = kAiSliderMin; position <= kAiSliderMax; ++position) {
        EXPECT_EQ(sliderFromWord(wordFromSlider(position)), position);
    }
    EXPECT_EQ(wordFromSlider(0), 0xFFF5);
    EXPECT_EQ(wordFromSlider(10), 0xFFFF);
    EXPECT_EQ(wordFromSlider(11), 0x0000);
    EXPECT_EQ(wordFromSlider(16), 0x0005);
    // Stored values outside -11..5 have no slider position.
    EXPECT_EQ(sliderFromWord(0x0006), 17);
    EXPECT_EQ(sliderFromWord(0xFFF4), -1);
    EXPECT_FALSE(isSliderPosition(17) || isSliderPosition(-1));
}

TEST(PlayerEncodings, SkinRoundTrip) {
    for (Skin skin : {Skin::Black, Skin::BlackUnused, Skin::White}) {
        EXPECT_EQ(skinFromCode(codeFromSkin(skin)), skin);
    }
    EXPECT_EQ(codeFromSkin(Skin::Black), 0xB77F);
    EXPECT_EQ(codeFromSkin(Skin::BlackUnused), 0xB781);
    EXPECT_EQ(codeFromSkin(Skin::White), 0xB789);
    EXPECT_FALSE(skinFromCode(0x0000));
    EXPECT_FALSE(skinFromCode(0xB780));
}

}  // namespace
}  // namespace slamwise
