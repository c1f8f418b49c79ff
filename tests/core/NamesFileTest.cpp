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
    // Entries whose texts are fixed may be given only with that text.
    struct Fixed {
        const char* line;
        const char* text;
    };
    for (const Fixed& fixed : {
             Fixed{"team 27 = Stars", "All-Stars"},
             Fixed{"team 28 = Kids", "Rookies"},
             Fixed{"head 0 = Somebody", "-- Not Implemented Yet --"},
             Fixed{"head 0x26 = Somebody", "Small/Black Skin/Balding (Unused)"},
             Fixed{"player 166 = Somebody", "Unused Secret Player"},
         }) {
        Result<GameNames> names = parseNames(fixed.line, "f.names");
        ASSERT_FALSE(names.ok()) << fixed.line;
        EXPECT_NE(names.error().find(std::string("is always \"") + fixed.text + "\""),
                  std::string::npos)
            << names.error();
        std::string same = std::string(fixed.line).substr(0, std::string(fixed.line).find('=')) +
                           "= " + fixed.text;
        EXPECT_TRUE(parseNames(same, "f.names").ok()) << same;
    }
    Result<GameNames> names =
        parseNames("player 81 = Somebody\nplayer 141 = Other (Unused)\nhead 7 = Anyone", "n");
    ASSERT_TRUE(names.ok()) << names.error();
    EXPECT_EQ(names->players[81], "Somebody (Unused)");
    EXPECT_EQ(names->players[141], "Other (Unused)");
    EXPECT_EQ(names->heads[7], "Anyone");
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
