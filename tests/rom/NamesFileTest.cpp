#include <gtest/gtest.h>

#include "rom/Names.h"
#include "tests/support/ImageBuilder.h"

namespace slamwise {
namespace {

TEST(NamesFile, GivenEntriesReplaceDefaultsAndTheRestStay) {
    NamesFile file = parseNames(
        "\xEF\xBB\xBF# names for a test\r\n"
        "player 12 = Some Name\r\n"
        "\n"
        "  team 3=Team # Three  \n"
        "head 0x28 = Tall/Left \xC3\xA9\n"
        "player 0xA9 = Last Entry",
        "test.names");
    ASSERT_TRUE(file.problems.empty());
    const GameNames* names = &file.names;
    EXPECT_EQ(names->players[12], "Some Name");
    EXPECT_EQ(names->players[169], "Last Entry");
    EXPECT_EQ(names->teams[3], "Team # Three");
    EXPECT_EQ(names->heads[40], "Tall/Left \xC3\xA9");
    EXPECT_EQ(names->players[11], defaultNames().players[11]);
    EXPECT_EQ(names->teams[28], "Rookies");
    EXPECT_EQ(names->players.size(), defaultNames().players.size());
}

TEST(NamesFile, EveryProblemIsReportedWithItsLineAndTheRestIsUsed) {
    NamesFile file = parseNames(
        "player 1 = One\n"
        "coach 2 = Someone\n"
        "player 170 = Too Far\n"
        "team x = Bad Number\n"
        "head 3 =\n"
        "player 1 = Again\n"
        "just text\n"
        "team 4 = \xFF\xFE\n",
        "my.names");
    EXPECT_EQ(
        file.problems,
        (std::vector<std::string>{
            "my.names:2: unknown kind \"coach\" (expected player, team or head)",
            "my.names:3: player 170 is out of range (0 to 169)",
            "my.names:4: \"x\" is not a team number", "my.names:5: head 3 has an empty name",
            "my.names:6: player 1 was already named on line 1",
            "my.names:7: expected \"player N = name\", \"team N = name\" or \"head N = name\"",
            "my.names:8: the line is not UTF-8 text"}));
    EXPECT_EQ(file.names.players[1], "One");
    EXPECT_EQ(file.names.teams[4], defaultNames().teams[4]);
    // A line of unknown kind leaves every kind incomplete.
    EXPECT_TRUE(file.lacks(NameKind::Player) && file.lacks(NameKind::Team) &&
                file.lacks(NameKind::Head));
    NamesFile heads = parseNames("player 1 = One\nhead 90 = Far\n", "h.names");
    EXPECT_FALSE(heads.lacks(NameKind::Player) || heads.lacks(NameKind::Team));
    EXPECT_TRUE(heads.lacks(NameKind::Head));
}

TEST(NamesFile, OnlyPlaceholderNamesChange) {
    // Fixed entries may be given only with their own text; 81 and 141 stay marked unused.
    auto always = [](const std::string& where, const std::string& text) {
        return where + " is always \"" + text +
               "\"; a names file changes only the placeholder names";
    };
    NamesFile file = parseNames(
        "team 27 = Stars\nteam 28 = Rookies\nteam 28 = Kids\nhead 0 = A\nhead 0x26 = B\n"
        "player 166 = C\n",
        "f");
    EXPECT_EQ(file.problems,
              (std::vector<std::string>{always("f:1: team 27", "All-Stars"),
                                        "f:3: team 28 was already named on line 2",
                                        always("f:4: head 0", "-- Not Implemented Yet --"),
                                        always("f:5: head 38", "Small/Black Skin/Balding (Unused)"),
                                        always("f:6: player 166", "Unused Secret Player")}));
    EXPECT_EQ(file.names.teams[27], "All-Stars");
    file = parseNames("player 81 = Somebody\nplayer 141 = Other (Unused)", "n");
    EXPECT_TRUE(file.problems.empty());
    EXPECT_EQ(file.names.players[81], "Somebody (Unused)");
    EXPECT_EQ(file.names.players[141], "Other (Unused)");
}

TEST(NamesFile, TheFileBesideTheImageIsFoundFirstByImageThenByFolder) {
    test::TempDir dir;
    std::string image = dir.file("game.sfc");
    EXPECT_FALSE(namesFileBeside(image));
    EXPECT_EQ(namesForImage(image).names.players[5], defaultNames().players[5]);

    test::writeFile(dir.file("slamwise-names.txt"), {'t', 'e', 'a', 'm', ' ', '1', '=', 'F'});
    EXPECT_EQ(namesFileBeside(image), dir.file("slamwise-names.txt"));
    EXPECT_EQ(namesForImage(image).names.teams[1], "F");

    test::writeFile(image + ".names", {'t', 'e', 'a', 'm', ' ', '1', '=', 'G'});
    EXPECT_EQ(namesFileBeside(image), image + ".names");
    EXPECT_EQ(namesForImage(image).names.teams[1], "G");
}

TEST(NamesFile, AMissingFileLacksEveryNameAndSaysWhy) {
    NamesFile file = loadNames("/nonexistent/folder/x.names");
    ASSERT_EQ(file.problems.size(), 1u);
    EXPECT_NE(file.problems[0].find("No such file or directory"), std::string::npos);
    EXPECT_TRUE(file.lacks(NameKind::Player));
}

}  // namespace
}  // namespace slamwise
