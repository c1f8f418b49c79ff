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

// A file that ends before the edition byte at $8422 is no image; a longer one that ends before a
// table is opened, with what it does not hold told as cut off and never read.
TEST(Identify, ShortAndCutOffFiles) {
    const struct {
        std::size_t size;
        bool header;
        Refusal refusal;
        const char* players;  // what cutOff(Table::Players) says
        const char* rosters;
    } cases[] = {
        {0, false, Refusal::TooShort, "", ""},
        {0x8422, false, Refusal::TooShort, "", ""},
        {0x8000, true, Refusal::TooShort, "", ""},
        {0x8423, false, Refusal::None, "the file ends at $8423, before the player table",
         "the file ends at $8423, before the roster table"},
        {100000, false, Refusal::None, "the file ends at $186A0, before the player table",
         "the file ends at $186A0, before the roster table"},
        {0x1FC000, false, Refusal::None, "the file ends at $1FC000, inside the player table", ""},
        {0x1F8000, true, Refusal::None, "the file ends at $1F8000, before the player table", ""},
        {0x200000, false, Refusal::None, "", ""},
    };
    test::TempDir dir;
    const test::Image whole;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.size) + (c.header ? " after a header" : ""));
        std::vector<std::uint8_t> bytes(c.header ? 512 : 0, 0);
        bytes.insert(bytes.end(), whole.bytes().begin(), whole.bytes().begin() + c.size);
        test::writeFile(dir.file("cut.sfc"), bytes);
        Result<OpenedImage> opened =
            OpenedImage::open(dir.file("cut.sfc"), RomFile::Access::ReadOnly);
        ASSERT_TRUE(opened) << opened.error();
        EXPECT_EQ(opened->refusal(), c.refusal);
        if (c.refusal == Refusal::TooShort) {
            EXPECT_EQ(opened->verdict().message(),
                      "\"" + dir.file("cut.sfc") + "\" is not a ROM image: at " +
                          std::to_string(bytes.size()) +
                          " bytes it is too short to hold the internal header that tells the "
                          "release (up to offset $8422" +
                          (c.header ? ", after a 512-byte copier header" : "") + ").");
            continue;
        }
        EXPECT_TRUE(opened->cutOff(Table::Players).starts_with(c.players));
        EXPECT_TRUE(opened->cutOff(Table::Rosters).starts_with(c.rosters));
        EXPECT_EQ(opened->allows(Table::Players).ok(), *c.players == '\0');
        // What the relocation reads ends at $938C8: a file that ends before it is never taken
        // for relocated (its zeros would read as the markers of a relocated image).
        const bool holdsRelocation = c.size >= 0x938C9;
        EXPECT_EQ(opened->relocationState() == RelocationState::Unknown, !holdsRelocation);
        EXPECT_EQ(opened->allows(Table::Visual).ok(), holdsRelocation);
        EXPECT_EQ(opened->cutOffNotes().size(), std::size_t{*c.players != '\0'} + !holdsRelocation +
                                                    (*c.rosters != '\0') + (c.size < 0x179C6));
    }
}

}  // namespace
}  // namespace slamwise
