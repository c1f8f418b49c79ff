#include "rom/Identify.h"

#include <gtest/gtest.h>

#include "tests/support/ImageBuilder.h"

namespace slamwise {
namespace {

using test::Image;
using test::ImageOptions;
using test::TempDir;

std::optional<Identification> identifyImage(const Image& image) {
    TempDir dir;
    Result<RomFile> rom = RomFile::open(image.writeTo(dir.path() / "image.sfc"));
    EXPECT_TRUE(rom.ok());
    Result<std::optional<Identification>> identified = identify(*rom);
    EXPECT_TRUE(identified.ok());
    return *identified;
}

TEST(Identify, EveryReleaseWithAndWithoutCopierHeader) {
    for (Release release : {Release::Beta, Release::Europe, Release::Japan, Release::NorthAmerica,
                            Release::OldSchool}) {
        for (bool header : {false, true}) {
            Image image(ImageOptions{release, 2 * 1024 * 1024, header, 7, "TITLE WITH BLANKS    "});
            std::optional<Identification> found = identifyImage(image);
            ASSERT_TRUE(found.has_value());
            EXPECT_EQ(found->release, release);
            EXPECT_EQ(found->title, "TITLE WITH BLANKS    ");  // 21 characters, blanks kept
        }
    }
}

TEST(Identify, RulesOverEveryPairOfBytes) {
    int matched = 0;
    for (int letter = 0; letter < 256; ++letter) {
        for (int edition = 0; edition < 256; ++edition) {
            auto release =
                releaseFrom(static_cast<std::uint8_t>(letter), static_cast<std::uint8_t>(edition));
            if (release) {
                ++matched;
            }
            if (letter == 'E' && edition != '1' && edition != 'g') {
                EXPECT_FALSE(release.has_value());
            }
        }
    }
    // Beta, Europe and Japan for any code byte, plus the two North American editions.
    EXPECT_EQ(matched, 3 * 256 + 2);
    EXPECT_EQ(releaseFrom(0x45, 0x31), Release::NorthAmerica);
    EXPECT_EQ(releaseFrom(0x45, 0x67), Release::OldSchool);
    EXPECT_EQ(releaseFrom(0x4A, 0x00), Release::Japan);
    EXPECT_EQ(releaseFrom(0x50, 0x31), Release::Europe);
    EXPECT_EQ(releaseFrom(0x00, 0x67), Release::Beta);
}

TEST(Identify, UnknownImageAndShortFiles) {
    Image image;
    image.at(kEditionCodeOffset) = 'x';
    EXPECT_FALSE(identifyImage(image).has_value());

    // Reads past the end are zeros, so a file that ends before the release letter is a Beta.
    Image tiny(ImageOptions{Release::Japan, 0x7FB5, false, 3});
    std::optional<Identification> found = identifyImage(tiny);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->release, Release::Beta);
    EXPECT_EQ(found->title, std::string(21, '?'));
}

TEST(Identify, WhatEachReleaseHas) {
    const ReleaseFacts expected[] = {
        {Release::Beta, "BETA", "Beta", "'' [Beta Version]", false, false, false},
        {Release::Europe, "EU", "Europe", "'' [Europe]", false, false, false},
        {Release::Japan, "JPN", "Japan", "'' [Japan]", true, true, true},
        {Release::NorthAmerica, "NA", "North America", "'' [North America]", true, true, true},
        {Release::OldSchool, "ZZZ", "Old School Edition", "'' [Brannick's Old School Edition]",
         false, false, true},
    };
    for (const ReleaseFacts& row : expected) {
        const ReleaseFacts& facts = factsOf(row.release);
        EXPECT_EQ(std::tie(facts.code, facts.name, facts.captionEnding, facts.playerData,
                           facts.visualData, facts.cheats),
                  std::tie(row.code, row.name, row.captionEnding, row.playerData, row.visualData,
                           row.cheats))
            << row.code;
    }
}

TEST(Identify, TitleCharactersOutsidePrintableAscii) {
    std::uint8_t bytes[kTitleLength] = {};
    for (std::uint8_t& byte : bytes) {
        byte = ' ';
    }
    bytes[0] = 'A';
    bytes[1] = 0xB1;  // half-width katakana A
    bytes[2] = 0x07;  // a control byte
    bytes[3] = 0xFF;
    std::string text = titleText(bytes);
    EXPECT_EQ(text, "A\xEF\xBD\xB1??" + std::string(17, ' '));
}

}  // namespace
}  // namespace slamwise
