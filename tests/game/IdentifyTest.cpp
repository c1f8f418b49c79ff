#include "game/Identify.h"

#include <gtest/gtest.h>

#include "image/OpenedImage.h"
#include "tests/support/ImageBuilder.h"

namespace slamwise {
namespace {

// The release letter at 0x7FB5 and the edition byte at 0x8422 of a headerless image decide the
// release, and the release what the editor offers.
TEST(Identify, EachReleaseByItsHeaderBytes) {
    // release letter, edition byte, code, name, caption ending, player data, cheats
    const std::tuple<int, int, const char*, const char*, const char*, bool, bool> cases[] = {
        {0x00, 0x31, "BETA", "Beta", "'' [Beta Version]", false, false},
        {0x50, 0x31, "EU", "Europe", "'' [Europe]", false, false},
        {0x4A, 0x67, "JPN", "Japan", "'' [Japan]", true, true},
        {0x45, 0x31, "NA", "North America", "'' [North America]", true, true},
        {0x45, 0x67, "ZZZ", "Old School Edition", "'' [Brannick's Old School Edition]", false,
         true},
        {0x45, 0x32, nullptr, nullptr, nullptr, false, false},  // no release
        {0x45, 0x00, nullptr, nullptr, nullptr, false, false},
        {0x4B, 0x31, nullptr, nullptr, nullptr, false, false},
    };
    const std::string title = "TITLE WITH BLANKS    ";  // 21 characters, blanks kept
    test::TempDir dir;
    for (bool header : {false, true}) {
        for (auto [letter, edition, code, name, ending, players, cheats] : cases) {
            SCOPED_TRACE(std::to_string(letter) + "/" + std::to_string(edition));
            test::Image image({.copierHeader = header});
            std::copy(title.begin(), title.end(), &image.at(0x7FC0));
            image.at(0x7FB5) = static_cast<std::uint8_t>(letter);
            image.at(0x8422) = static_cast<std::uint8_t>(edition);
            Result<OpenedImage> opened =
                OpenedImage::open(image.writeTo(dir.file("image.sfc")), RomFile::Access::ReadOnly);
            ASSERT_TRUE(opened) << opened.error();
            if (code == nullptr) {
                EXPECT_EQ(opened->refusal(), Refusal::UnknownRelease);
                continue;
            }
            const ReleaseFacts& facts = opened->facts();
            EXPECT_EQ(std::tuple(facts.code, facts.name, facts.captionEnding),
                      std::tuple(code, name, ending));
            EXPECT_EQ(opened->identification()->title, title);
            EXPECT_EQ(opened->allows(Table::Players).ok(), players);
            EXPECT_EQ(opened->allows(Table::Cheats).ok(), cheats);
        }
    }
}

// Reads past the end are zeros, so a file that ends before the release letter is a Beta.
TEST(Identify, AShortFileIsABeta) {
    test::TempDir dir;
    Result<RomFile> tiny = RomFile::open(test::Image({.size = 0x7FB5}).writeTo(dir.file("t.sfc")));
    ASSERT_TRUE(tiny) << tiny.error();
    EXPECT_EQ(identify(*tiny).value()->release, Release::Beta);
}

}  // namespace
}  // namespace slamwise
