// The league table's grid of players: the columns, what a pasted text means in each, the values
// it shows (raw where they have no meaning) and the edits its changes come to, byte by byte.
#include <gtest/gtest.h>

#include "game/PlayerGrid.h"
#include "tests/support/ImageBuilder.h"

namespace slamwise {
namespace {

constexpr std::uint32_t kPlayer2 = 0x1FB8CF + 2 * 26;  // actual record of player 2
constexpr std::uint32_t kShown2 = 0x930C9 + 2 * 16;    // its standard visual record

TEST(PlayerGridTest, ColumnsAndPastedTextsAreReadAsTheFormAndTheExportWriteThem) {
    std::string titles;
    for (int column = 0; column < kPlayerGridColumns; ++column) {
        titles += std::string(gridColumn(column).title) + "|";
    }
    EXPECT_EQ(titles,
              "#|Name|Speed|3 Pointer|Dunk|Passing|Power|Steal|Block|Clutch|AI|Height|Skin|"
              "Visual Speed|Visual 3 Pointer|Visual Dunk|Visual Passing|Visual Power|"
              "Visual Steal|Visual Block|Visual Clutch|");
    struct Case {
        int column;
        const char* text;
        int value;  // -1: refused with problem
        const char* problem;
    };
    const Case cases[] = {
        {2, "7", 7, ""},
        {9, " 10 ", 10, ""},
        {5, "", -1, "is not a rating from 0 to 10"},
        {6, "-1", -1, "is not a rating from 0 to 10"},
        {10, "16", 16, ""},
        {10, "17", -1, "is not a slider position from 0 to 16"},
        {11, "small", 1, ""},
        {11, "Normal", 0, ""},
        {11, "tall", -1, "is not a height (Normal, Small)"},
        {12, "Black (Unused?)", 1, ""},
        {12, "black-unused", 1, ""},
        {12, "WHITE", 2, ""},
        {12, "pink", -1, "is not a skin tone (Black, Black (Unused?), White)"},
        {13, "3", 3, ""},
        {20, "12", -1, "is not a rating from 0 to 10"},
    };
    for (const Case& c : cases) {
        const CellInput input = readCell(c.column, c.text);
        EXPECT_EQ(input.value.value_or(-1), c.value) << c.column << " " << c.text;
        EXPECT_EQ(input.problem, c.problem) << c.column << " " << c.text;
    }
    EXPECT_EQ(applyLabel(1, "Roster Slot", "Roster Slots"), "Apply to 1 Roster Slot");
}

// Values shown raw stay unless edited; a changed playing rating is shown (and written) in the
// displayed copy too, unless the displayed copy was given its own value; a value set back to the
// stored one is no change.
TEST(PlayerGridTest, ChangesShowOverTheFileAndBecomeExactlyTheirBytes) {
    test::Image image;
    image.put16(kPlayer2 + 4, 0x1711);  // speed 8
    image.put16(kPlayer2 + 6, 0x1234);  // no three-point rating
    image.at(kPlayer2 + 8) = 4;         // dunk
    image.put16(kPlayer2 + 0x0E, 0xFFFE);
    image.put16(kPlayer2 + 0x16, 0xB789);
    image.at(kPlayer2 + 2) = 1;
    image.at(kShown2) = 5;
    test::TempDir dir;
    const std::string path = image.writeTo(dir.file("image.sfc"));
    Result<RomFile> rom = RomFile::open(path);
    ASSERT_TRUE(rom);
    Result<PlayerGrid> grid = PlayerGrid::read(*rom, VisualLayout::Standard);
    ASSERT_TRUE(grid);
    const GameNames& names = defaultNames();
    std::string shown;
    for (int column : {0, 2, 3, 4, 10, 11, 12, 13}) {
        shown += grid->text(2, column, names) + "|";
    }
    EXPECT_EQ(shown, "2|8|raw:0x1234|4|9|Small|White|5|");
    EXPECT_TRUE(!grid->editable(130, 13) && grid->text(130, 13, names).empty() &&
                grid->editable(127, 20) && !grid->editable(2, 1));
    EXPECT_FALSE(grid->set(2, 2, 11) || grid->set(130, 13, 3) || grid->set(2, 0, 5));

    ASSERT_TRUE(grid->set(2, 2, 9) && grid->set(2, 4, 6) && grid->set(2, 4, 4));
    EXPECT_TRUE(grid->changed(2, 2) && grid->changed(2, 13) && !grid->changed(2, 4));
    EXPECT_EQ(grid->text(2, 13, names), "9");
    ASSERT_TRUE(grid->set(2, 13, 6) && grid->set(2, 11, 0));
    EXPECT_EQ(grid->text(2, 13, names) + grid->text(2, 3, names), "6raw:0x1234");
    EXPECT_EQ(grid->changedPlayers(), 1);

    Edit edit;
    for (const PlayerEdit& player : grid->edits()) {
        player.encode(edit, VisualLayout::Standard);
    }
    ASSERT_TRUE(rom->apply(edit));
    EXPECT_EQ(test::strayOffsets(
                  image.bytes(), test::readFile(path),
                  {{kPlayer2 + 4, 0x77}, {kPlayer2 + 5, 0x17}, {kPlayer2 + 2, 0}, {kShown2, 6}}),
              std::vector<std::uint32_t>{});
}

}  // namespace
}  // namespace slamwise
