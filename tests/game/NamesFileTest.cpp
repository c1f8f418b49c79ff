#include "game/Names.h"

#include <gtest/gtest.h>

#include "tests/support/ImageBuilder.h"

namespace slamwise {
namespace {

TEST(NamesFile, GivenEntriesReplaceDefaultsAndTheRestStay) {
    const GameNames names = parseNames(
                                "\xEF\xBB\xBF# names for a test\r\nplayer 12 = Some Name\r\n\n"
                                "  team 3=Team # Three  \nhead 0x28 = Tall/Left \xC3\xA9\n"
                                "player 81 = Somebody\nteam 27 = All-Stars",
                                "test.names")
                                .names;
    EXPECT_EQ(std::tuple(names.players[12], names.teams[3], names.heads[40], names.players[81]),
              std::tuple("Some Name", "Team # Three", "Tall/Left \xC3\xA9", "Somebody (Unused)"));
    EXPECT_EQ(names.players[11], defaultNames().players[11]);
    EXPECT_EQ(names.teams[28], "Rookies");
}

// Every problem with its line; the other lines are used.
TEST(NamesFile, EveryProblemIsReported) {
    NamesFile file = parseNames(
        "player 1 = One\ncoach 2 = Someone\nplayer 170 = Too Far\nteam x = Bad Number\n"
        "head 3 =\nplayer 1 = Again\njust text\nteam 4 = \xFF\xFE\nteam 27 = Stars\n"
        "head 0 = A\nhead 0x26 = B\nplayer 166 = C\n",
        "my.names");
    auto always = [](const std::string& where, const std::string& text) {
        return "my.names:" + where + " is always \"" + text +
               "\"; a names file changes only the placeholder names";
    };
    EXPECT_EQ(file.problems,
              (std::vector<std::string>{
                  "my.names:2: unknown kind \"coach\" (expected player, team or head)",
                  "my.names:3: player 170 is out of range (0 to 169)",
                  "my.names:4: \"x\" is not a team number", "my.names:5: head 3 has an empty name",
                  "my.names:6: player 1 was already named on line 1",
                  "my.names:7: expected \"player N = name\", \"team N = name\" or \"head N = "
                  "name\"",
                  "my.names:8: the line is not UTF-8 text", always("9: team 27", "All-Stars"),
                  always("10: head 0", "-- Not Implemented Yet --"),
                  always("11: head 38", "Small/Black Skin/Balding (Unused)"),
                  always("12: player 166", "Unused Secret Player")}));
    EXPECT_EQ(file.names.players[1], "One");
    EXPECT_EQ(file.names.teams[27], "All-Stars");
    // A line of unknown kind leaves every kind incomplete; a bad head line only the heads.
    EXPECT_TRUE(file.lacks(NameKind::Player) && file.lacks(NameKind::Team));
    NamesFile heads = parseNames("player 1 = One\nhead 90 = Far\n", "h.names");
    EXPECT_FALSE(heads.lacks(NameKind::Player) || heads.lacks(NameKind::Team));
    EXPECT_TRUE(heads.lacks(NameKind::Head));
}

// "<image>.names" first, then "slamwise-names.txt" in the folder; a file that cannot be read
// lacks every name and says why.
TEST(NamesFile, TheFileBesideTheImage) {
    test::TempDir dir;
    std::string image = dir.file("game.sfc");
    EXPECT_FALSE(namesFileBeside(image));
    test::writeFile(dir.file("slamwise-names.txt"), {'t', 'e', 'a', 'm', ' ', '1', '=', 'F'});
    EXPECT_EQ(namesForImage(image).names.teams[1], "F");
    test::writeFile(image + ".names", {'t', 'e', 'a', 'm', ' ', '1', '=', 'G'});
    EXPECT_EQ(namesFileBeside(image), image + ".names");
    EXPECT_EQ(namesForImage(image).names.teams[1], "G");

    NamesFile missing = loadNames("/nonexistent/folder/x.names");
    ASSERT_EQ(missing.problems.size(), 1u);
    EXPECT_NE(missing.problems[0].find("No such file or directory"), std::string::npos);
    EXPECT_TRUE(missing.lacks(NameKind::Player));
}

}  // namespace
}  // namespace slamwise
