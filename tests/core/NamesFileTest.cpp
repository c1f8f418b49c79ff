#include <gtest/gtest.h>

#include "rom/Names.h"
#include "tests/support/ImageBuilder.h"

namespace slamwise {
namespace {

TEST(NamesFile, GivenEntriesReplaceDefaultsAndTheRestStay) {
    Result<GameNames> names = parseNames(
        "\xEF\xBB\xBF# names for a test\r\n"
        "player 12 = Some Name\r\n"
        "\n"
        "  team 3=Team # Three  \n"
        "head 0x28 = Tall/Left \xC3\xA9\n"
        "player 0xA9 = Last Entry",
        "test.names");
    ASSERT_TRUE(names.ok()) << names.error();
    EXPECT_EQ(names->players[12], "Some Name");
    EXPECT_EQ(names->players[169], "Last Entry");
    EXPECT_EQ(names->teams[3], "Team # Three");
    EXPECT_EQ(names->heads[40], "Tall/Left \xC3\xA9");
    EXPECT_EQ(names->players[11], defaultNames().players[11]);
    EXPECT_EQ(names->teams[28], "Rookies");
    EXPECT_EQ(names->players.size(), defaultNames().players.size());
}

TEST(NamesFile, EveryProblemIsReportedWithItsLine) {
    Result<GameNames> names = parseNames(
        "player 1 = One\n"
        "coach 2 = Someone\n"
        "player 170 = Too Far\n"
        "team x = Bad Number\n"
        "head 3 =\n"
        "player 1 = Again\n"
        "just text\n"
        "team 4 = \xFF\xFE\n",
        "my.names");
    ASSERT_FALSE(names.ok());
    EXPECT_EQ(names.error(),
              "my.names:2: unknown kind \"coach\" (expected player, team or head)\n"
              "my.names:3: player 170 is out of range (0 to 169)\n"
              "my.names:4: \"x\" is not a team number\n"
              "my.names:5: head 3 has an empty name\n"
              "my.names:6: player 1 was already named on line 1\n"
              "my.names:7: expected \"player N = name\", \"team N = name\" or \"head N = name\"\n"
              "my.names:8: the line is not UTF-8 text");
}

TEST(NamesFile, OnlyPlaceholderNamesChange) {
    // Fixed entries may be given only with their own text; 81 and 141 stay marked unused.
    auto always = [](const std::string& where, const std::string& text) {
        return where + " is always \"" + text +
               "\"; a names file changes only the placeholder names";
    };
    Result<GameNames> names = parseNames(
        "team 27 = Stars\nteam 28 = Rookies\nteam 28 = Kids\nhead 0 = A\nhead 0x26 = B\n"
        "player 166 = C\n",
        "f");
    ASSERT_FALSE(names.ok());
    EXPECT_EQ(names.error(), always("f:1: team 27", "All-Stars") +
                                 "\nf:3: team 28 was already named on line 2\n" +
                                 always("f:4: head 0", "-- Not Implemented Yet --") + "\n" +
                                 always("f:5: head 38", "Small/Black Skin/Balding (Unused)") +
                                 "\n" + always("f:6: player 166", "Unused Secret Player"));
    names = parseNames("player 81 = Somebody\nplayer 141 = Other (Unused)", "n");
    ASSERT_TRUE(names.ok()) << names.error();
    EXPECT_EQ(names->players[81], "Somebody (Unused)");
    EXPECT_EQ(names->players[141], "Other (Unused)");
}

TEST(NamesFile, TheFileBesideTheImageIsFoundFirstByImageThenByFolder) {
    test::TempDir dir;
    std::string image = dir.file("game.sfc");
    EXPECT_FALSE(namesFileBeside(image));
    EXPECT_EQ(namesForImage(image)->players[5], defaultNames().players[5]);

    test::writeFile(dir.file("slamwise-names.txt"), {'t', 'e', 'a', 'm', ' ', '1', '=', 'F'});
    EXPECT_EQ(namesFileBeside(image), dir.file("slamwise-names.txt"));
    EXPECT_EQ(namesForImage(image)->teams[1], "F");

    test::writeFile(image + ".names", {'t', 'e', 'a', 'm', ' ', '1', '=', 'G'});
    EXPECT_EQ(namesFileBeside(image), image + ".names");
    EXPECT_EQ(namesForImage(image)->teams[1], "G");
}

TEST(NamesFile, AMissingFileIsAFailureWithTheReason) {
    Result<GameNames> names = loadNames("/nonexistent/folder/x.names");
    ASSERT_FALSE(names.ok());
    EXPECT_NE(names.error().find("No such file or directory"), std::string::npos);
}

}  // namespace
}  // namespace slamwise
