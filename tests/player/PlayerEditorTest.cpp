#include "player/PlayerEditor.h"
#include "tests/support/WindowTest.h"

namespace slamwise {

using test::Image;

// In record order: speed, three-point, dunk, pass, power, steal, block, clutch.
const char* const kRatingBoxes[] = {"SPEEDTXT", "THREETXT", "DUNKTXT",  "PASSTXT",
                                    "POWERTXT", "STEALTXT", "BLOCKTXT", "DIRKTXT"};

class PlayerEditorTest : public test::WindowTest<PlayerEditor> {
  protected:
    // A fresh area on the image (relocated: both markers cleared), which it follows.
    void open(const Image& image = Image(), bool relocated = false) {
        image_ = image;
        if (relocated)
            image_.at(0x27001) = image_.at(0x27801) = 0x00;
        window_ = std::make_unique<PlayerEditor>(session_, fake_.platform());
        ASSERT_NO_FATAL_FAILURE(openImage());
    }
    QLineEdit* box(int i) { return child<QLineEdit>(kRatingBoxes[i]); }
    void select(int player) { child<QListWidget>("PlayerLST")->setCurrentRow(player); }
    // A random record rarely holds valid speed and three-point codes, so those boxes start
    // empty: every box is filled before a save.
    void typeRatings(const QString& values) {
        for (int i = 0; i < 8; ++i)
            box(i)->setText(values.split(' ')[i]);
    }
};

// What each state enables and shows; whenever editing is off a save writes nothing. Then every
// fixed text, the messages of an empty box and of failures among them.
TEST_F(PlayerEditorTest, ControlsAreEnabledOnlyWhilePlayerDataCanBeEditedAndTextsAreShown) {
    window_ = std::make_unique<PlayerEditor>(session_, fake_.platform());
    collected_["no image"] = child("VisualHEXLBL")->toolTip();
    // clang-format off
    struct State { const char* name; std::function<void()> reach; bool editing, roster, relocate;
                   const char *rating, *offset, *ai; };
    const State states[] = {
        {"start", [] {}, false, false, false, "", "0000000", "0"},
        {"open", [&] { open(); }, true, true, true, nullptr, "$1FB8CF", nullptr},
        {"relocated", [&] { open(Image(), true); }, true, true, false, nullptr, "$1FB8CF", 0},
        {"closed", [&] { select(50), session_.close(); }, false, false, false, "0",
         "0000000", "0"},
        {"Europe", [&] { open(Image({.release = Release::Europe})); }, false, true, false, "",
         "$1FB8CF", ""}};
    // clang-format on
    for (const State& s : states) {
        s.reach();
        for (const char* name :
             {"PlayerLST", "ApplyCMD", "OffsetFRA", "HeightFRA", "SkinFRA", "AISLDR", "TallOPT",
              "ShortOPT", "BlackUOPT", "BlackOPT", "WhiteOPT"})
            EXPECT_EQ(enabled(name), s.editing) << s.name << " " << name;
        for (int i = 0; i < 8; ++i)
            EXPECT_TRUE(box(i)->isEnabled() == s.editing &&
                        (!s.rating || box(i)->text() == s.rating));
        EXPECT_TRUE(enabled("TeamEditCMD") == s.roster &&
                    enabled("RelocateVisualCMD") == s.relocate && enabled("QuitCMD") &&
                    !enabled("PlayerValueTXT") && !enabled("HeadLST"))
            << s.name;
        EXPECT_TRUE(label("ActualHEXLBL") == s.offset && (!s.ai || label("AILBL") == s.ai))
            << s.name;
        if (!s.editing && !path_.empty())
            window_->SavePlayer();
        EXPECT_TRUE(path_.empty() || changed().empty()) << s.name;
    }
    ASSERT_EQ(fake_.messages.shown.size(), 1u);
    collected_["shut-off"] = lastMessage();
    open(Image({.copierHeader = true}));  // player 1 is selected below
    typeRatings("1 2  4 5 6 7 ");
    click("ApplyCMD");
    EXPECT_TRUE(changed().empty());
    collected_["empty boxes"] = lastMessage();
    typeRatings("1 2 3 4 5 6 7 8");
    collected_["read failure"] = failing([&] { select(1); });
    collected_["save failure"] = failing([&] { click("ApplyCMD"); });
    collected_["relocation unread"] = failing([&] { click("RelocateVisualCMD"); });
    // The first operation after the checks fails: the relocation has begun writing.
    FaultPlan checks{.at = FaultPlan::kNever};
    {
        ScopedFaultPlan counting(checks);
        (void)session_.check(relocateVisualTable());
    }
    collected_["relocation stopped"] =
        failing([&] { click("RelocateVisualCMD"); }, checks.operations + 1);
    const std::string failed = "Slamwise Player Editor\n", copy = "Click to copy an offset.";
    const std::string header = copy + " In the file, after its 512-byte copier header: ";
    // clang-format off
    expectTexts({
        {"RelocateVisualCMD.tip", "This option allows you to relocate all the player's visual "
         "stats to allow the special/secret players to show the correct stat."}, {"no image", copy},
        {"InfoLBL", "Note: the portrait of list entry 81 (marked unused) points at the portrait of "
         "entry 94. His stats are all there and he can be played normally in the game."},
        {"shut-off", "Cannot edit this ROM fully!\nPlease note you cannot edit the Players' data "
         "with this version of the ROM.  The following is what is available for each ROM to edit "
         "with this program...\r\n\r\nBeta ROM: Player data is NOT AVAILABLE -- Team Roster data "
         "IS AVAILABLE\r\nEurope Release: Player data is NOT AVAILABLE -- Team Roster data IS "
         "AVAILABLE\r\nJapanese Release: Player data IS AVAILABLE -- Team Roster data IS "
         "AVAILABLE\r\nNorth American Release: Player data IS AVAILABLE -- Team Roster data IS "
         "AVAILABLE\r\nBrannick's Old School Edition: Player data is NOT AVAILABLE -- Team Roster "
         "data IS AVAILABLE but does not include editing the All-Stars team rosters or the '?\?\?' "
         "roster.  Also, various players have been replaced so the names may or may not match.  "
         "You've been warned!"}, {"mnuCopyVisualHEX", "Copy Visual Data Hex Offset to Clipboard"},
        {"empty boxes", "Nothing was saved\nPlease type a rating from 0 to 10 in every rating box. "
         "These are empty: Dunk Rating, Clutch Rating.\r\nNothing was written to the ROM."},
        {"relocation stopped", failed + "The relocation of the visual data stopped before it was "
         "complete. The visual data is not marked as relocated."}, {"BlackUOPT", "Black (Unused?)"},
        {"relocation unread", failed + "The visual data could not be relocated."},
        {"save failure", failed + "The player could not be saved completely."},
        {"mnuCopyVisualDEC", "Copy Visual Data Decimal Offset to Clipboard"}, {"TallOPT", "Normal"},
        {"mnuCopyActualDEC", "Copy Actual Data Decimal Offset to Clipboard"}, {"ShortOPT", "Small"},
        {"mnuCopyActualHEX", "Copy Actual Data Hex Offset to Clipboard"}, {"SkinFRA", "Skin Tone:"},
        {"TeamEditCMD.tip", "This edits each team's player roster."}, {"PowerLBL", "Power Rating:"},
        {"read failure", failed + "The player could not be read."}, {"ClutchLBL", "Clutch Rating:"},
        {"HeadLST#33", "Small/White Skin/Black Fade (Unused)"}, {"PlayerValueLBL", "Player Value:"},
        {"HeadLST#34", "Small/Tan Skin/Black Hair (Unused)"}, {"HeadLST#4", "Tan Skin/Black Hair"},
        {"HeadLST#38", "Small/Black Skin/Balding (Unused)"}, {"HeadLST#2", "White Skin/Black Hair"},
        {"HeadLST#11", "Black Skin/Bald/Goggles (Unused)"}, {"HeadLST#36", "Small/Black Skin/Bald"},
        {"PlayerValueTXT.tip", "Cannot edit this field."}, {"RelocateVisualCMD", "Relocate Visual"},
        {"VisualDECCaptionLBL", "Visual data (Decimal):"}, {"HeadLST#3", "White Skin/Black Fade"},
        {"ActualDECCaptionLBL", "Actual data (Decimal):"}, {"HeadLST#6", "Black Skin/Black Hair"},
        {"RelocateVisualCHK", "Visual Data Relocated?"}, {"HeadLST#0", "-- Not Implemented Yet --"},
        {"HeadLBL", "Head Graphic Pointer (in-game):"}, {"OffsetFRA", "Player Stat Data Offsets:"},
        {"HeadLST#32", "Small/White Skin/Black Hair"}, {"PlayerLST#166", "Unused Secret Player"},
        {"HeadLST#35", "Small/Black Skin/Black Hair"}, {"ActualHEXLBL.tip", header + "$1FBAE9."},
        {"HeadLST#37", "Small/Black Skin/Black Fade"}, {"ActualDECLBL.tip", header + "2079465."},
        {"VisualHEXCaptionLBL", "Visual data (Hex):"}, {"HeadLST#9", "Black Skin/Black Fade"},
        {"ActualHEXCaptionLBL", "Actual data (Hex):"}, {"AICaptionLBL", "Player AI Setting:"},
        {"HeadLST#5", "White Skin/Red Fade"}, {"HeadLST#10", "Black Skin/Balding"},
        {"ThreeLBL", "3 Pointer Rating:"}, {"mnuCopyParent", "Copy Offsets"}, {"BlackOPT", "Black"},
        {"HeadLST#8", "Black Skin/Bald"}, {"TeamEditCMD", "Roster Editor"}, {"WhiteOPT", "White"},
        {"PassLBL", "Passing Rating:"}, {"StealLBL", "Steal Rating:"}, {"NameLBL", "Speed Rating:"},
        {"BlockLBL", "Block Rating:"}, {"HeadLST#24", "? (Unused)"}, {"DunkLBL", "Dunk Rating:"},
        {"HeightFRA", "Height:"}, {"ApplyCMD", "Apply"}, {"QuitCMD", "Cancel"}});
    // clang-format on
}

// Apply writes every box into bytes 2 to 0x17 of the actual record (from 0x1FB8CF + 26 *
// player; "__": left alone) and the ratings, up to 10, into the visual record of the image's
// layout; nothing else.
TEST_F(PlayerEditorTest, ApplyWritesTheActualAndVisualRecords) {
    const std::tuple<int, bool, QString, const char*, const char*, int, QString, int> cases[] = {
        {0, false, "7 3 1 4 12 09 2 6", "TallOPT", "BlackUOPT", 11,
         "00 __ 44 16 5C 03 01 __ 02 __ 09 __ 00 00 04 __ 0A __ 06 __ 81 B7", 0x930C9},
        {168, true, "1 2 3 4 5 6 7 8", "ShortOPT", "WhiteOPT", 16,
         "01 __ 55 14 20 03 03 __ 07 __ 06 __ 05 00 04 __ 05 __ 08 __ 89 B7", 0x27A80}};
    for (const auto& [player, relocated, typed, height, skin, ai, actual, visual] : cases) {
        open(Image(), relocated);
        select(player);
        typeRatings(typed);
        click(height);
        click(skin);
        child<QSlider>("AISLDR")->setValue(ai);
        click("ApplyCMD");
        std::map<std::uint32_t, int> expected;
        for (std::uint32_t i = 0; i < 22; ++i)
            if (actual.split(' ')[i] != "__")
                expected[0x1FB8CF + 26 * player + 2 + i] = actual.split(' ')[i].toInt(nullptr, 16);
        for (std::uint32_t i = 0; i < 8; ++i) {
            const int rating = std::min(typed.split(' ')[i].toInt(), 10);
            EXPECT_EQ(box(i)->text().toInt(), rating) << player;
            expected[visual + 2 * i] = rating;
        }
        expectWritten(expected, player);
    }
}

// The offsets of the selected player follow the relocation (whose bytes the window writes as
// slamwise relocate does: pinned with the window and the command line); the copy items put the
// offsets on the clipboard, hex without "$", and a click on an offset opens their menu.
TEST_F(PlayerEditorTest, RelocationMovesTheShownAndCopiedOffsets) {
    open();
    const std::pair<int, QStringList> cases[] = {{0, {"$930C9", "602313", "$1FB8CF", "2078927"}},
                                                 {168, {"$27A80", "162432", "$1FC9DF", "2083295"}}};
    for (const auto& [player, shown] : cases) {
        select(player);
        int i = 0;
        for (std::string name : {"VisualHEX", "VisualDEC", "ActualHEX", "ActualDEC"}) {
            EXPECT_EQ(label((name + "LBL").c_str()), shown[i]) << name;
            EXPECT_EQ(copied(("mnuCopy" + name).c_str()), QString(shown[i++]).remove('$')) << name;
        }
        click("RelocateVisualCMD");
    }
    EXPECT_TRUE(child<QCheckBox>("RelocateVisualCHK")->isChecked() &&
                !enabled("RelocateVisualCMD"));
    EXPECT_EQ(fake_.settings.value("Visual Data Expanded"), "1");
    EXPECT_EQ(history().undoLabel(), "Relocation");
    QTest::mouseClick(child<QLabel>("ActualDECLBL"), Qt::LeftButton);
    EXPECT_TRUE(child<QMenu>("mnuCopyParent")->isVisible());
}

}  // namespace slamwise
