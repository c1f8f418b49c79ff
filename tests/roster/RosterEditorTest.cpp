#include "image/Action.h"
#include "roster/RosterEditor.h"
#include "tests/support/WindowTest.h"

namespace slamwise {

constexpr std::uint32_t kTeam0 = 0xB18CF;

class RosterEditorTest : public test::WindowTest<RosterEditor> {
  protected:
    void SetUp() override {
        // clang-format off
        for (auto [offset, value] : std::map<std::uint32_t, std::uint8_t>{{kTeam0, 0x05},
                 {kTeam0 + 1, 0x11}, {kTeam0 + 2, 0xA9}, {kTeam0 + 4, 0x07}, {kTeam0 + 6, 0},
                 {0xB191B, 0xC0}, {0xB191D, 0xFF}, {0xB218F, 0x00}, {0xB2191, 0xFE}})
            image_.at(offset) = value;
        // clang-format on
        ASSERT_NO_FATAL_FAILURE(openImage());
        openWindow();
    }
    void clickRow(const char* listName, int row, Qt::KeyboardModifiers keys = {}) {
        auto* list = child<QListWidget>(listName);
        list->scrollToItem(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, keys,
                          list->visualItemRect(list->item(row)).center());
    }
    int code(const char* box) { return child<QComboBox>(box)->currentIndex(); }
};

// The codes of the slot shown (an unapplied choice is dropped, even on the same slot again)
// and the offset of its team, which the copy items put on the clipboard; a slot clicked
// before any team shows and reads nothing.
TEST_F(RosterEditorTest, SlotsShowAndApplyWriteTheCodesRefusalsWriteNothing) {
    EXPECT_FALSE(child("ViewExpandedRosterCHK")->isVisible() || enabled("ViewExpandedRosterCHK") ||
                 child<QCheckBox>("ViewExpandedRosterCHK")->isChecked());
    // clang-format off
    struct Case { const char* list; int row, slot, code1, code2; const char *hex, *dec, *copied; };
    const Case cases[] = {{"SlotLST", 3, 3, -1, -1, "000000", "000000", "0"},
                          {"TeamLST", 0, 0, 0x05, 0xA9, "$B18CF", "727247", "B18CF"},
                          {"SlotLST", 1, 1, 0x07, 0x00, "$B18CF", "727247", "B18CF"},
                          {"SlotLST", 1, 1, 0x07, 0x00, "$B18CF", "727247", "B18CF"},
                          {"TeamLST", 0, 0, 0x05, 0xA9, "$B18CF", "727247", "B18CF"},
                          {"TeamLST", 28, 0, 0x00, 0xFE, "$B218F", "729487", "B218F"}};
    // clang-format on
    for (const Case& c : cases) {
        if (c.code1 >= 0)
            child<QComboBox>("POS1CBO")->setCurrentIndex(0x33);
        clickRow(c.list, c.row);
        EXPECT_EQ(child<QListWidget>("SlotLST")->currentRow(), c.slot) << c.row;
        EXPECT_TRUE(code("POS1CBO") == c.code1 && code("POS2CBO") == c.code2) << c.row;
        EXPECT_TRUE(label("HEXLBL") == c.hex && label("DECLBL") == c.dec) << c.row;
        EXPECT_TRUE(copied("mnuTeamDEC") == c.dec && copied("mnuTeamHEX") == c.copied) << c.row;
        EXPECT_TRUE(enabled("ApplyCMD") == enabled("LastPlayerCMD") && !enabled("DummyCMD"));
        EXPECT_EQ(enabled("ApplyCMD"), c.code1 >= 0) << c.row;
    }
    // Apply writes both codes, and only those; "Make Last Player" answered Yes writes FE FF at
    // the slot and shows FE and 00, which a following Apply writes; Cancel keeps what was
    // applied.
    clickRow("TeamLST", 0);
    child<QComboBox>("POS1CBO")->setCurrentIndex(0x12);
    child<QComboBox>("POS2CBO")->setCurrentIndex(0xFE);
    click("ApplyCMD");
    collected_["undo apply"] = QString::fromStdString(history().undoLabel());
    clickRow("SlotLST", 19);
    fake_.messages.answers.push_back(true);
    click("LastPlayerCMD");
    collected_["undo end"] = QString::fromStdString(history().undoLabel());
    EXPECT_TRUE(code("POS1CBO") == 0xFE && code("POS2CBO") == 0x00);
    expectWritten({{kTeam0, 0x12}, {kTeam0 + 2, 0xFE}, {0xB191B, 0xFE}, {0xB191C, 0xFF}});
    click("ApplyCMD");
    click("QuitCMD");
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(fake_.settings.writes,
              (decltype(fake_.settings.writes){{"Show Expanded Data", "0"}}));
    expectWritten(
        {{kTeam0, 0x12}, {kTeam0 + 2, 0xFE}, {0xB191B, 0xFE}, {0xB191C, 0xFF}, {0xB191D, 0}});
    // Refusals write nothing: "Make Last Player" answered No, a cleared selection, a closing by the
    // frame, a failed read (the offset is still the team's), a failed write; then every fixed text,
    // the messages among them.
    ASSERT_NO_FATAL_FAILURE(openImage());
    openWindow();
    clickRow("TeamLST", 0);
    click("LastPlayerCMD");
    EXPECT_EQ(code("POS1CBO"), 0x05);
    for (const char* listName : {"SlotLST", "TeamLST"}) {
        clickRow("TeamLST", 0);
        clickRow(listName, 0, Qt::ControlModifier);
        EXPECT_FALSE(enabled("ApplyCMD") || enabled("LastPlayerCMD")) << listName;
    }
    clickRow("TeamLST", 0);
    collected_["read failure"] = failing([&] { clickRow("TeamLST", 1); });
    EXPECT_TRUE(label("HEXLBL") == "$B191F" && label("DECLBL") == "727327" && !enabled("ApplyCMD"));
    child<QComboBox>("POS1CBO")->setCurrentIndex(0x20);
    window_->close();
    EXPECT_EQ(fake_.settings.writes.size(), 1u);  // by Cancel above
    ASSERT_NO_FATAL_FAILURE(openImage(RomFile::Access::ReadOnly));
    openWindow();
    clickRow("TeamLST", 1);
    click("ApplyCMD");
    collected_["save failure"] = lastMessage();
    fake_.messages.answers.push_back(true);
    click("LastPlayerCMD");
    collected_["end failure"] = fake_.messages.shown.back().text;
    clickRow("SlotLST", 19);
    EXPECT_TRUE(window_->isVisible() && enabled("ApplyCMD") && changed().empty());
    ASSERT_TRUE(fake_.messages.questions.size() == 3 && fake_.messages.shown.size() == 3);
    EXPECT_TRUE(fake_.messages.shown[1].icon == MessageBoxes::Icon::Critical &&
                !fake_.messages.shown[1].details.isEmpty());
    collected_["question"] = text(fake_.messages.questions[1]);
    // clang-format off
    const std::string player0 = defaultNames().players[0], blanking = player0 + " byte ($00) can "
        "also be used to blank out player slots after the cut-off byte ($FE) is used.";
    expectTexts({
        {"LastPlayerCMD.tip", "Use this option to cut off the rest of the players after the "
         "selected slot.  "}, {"end failure", "The roster could not be ended at this slot."},
        {"InfoLBL", "This edits the roster data as it sits in the default unedited ROM.  If any "
         "data has been moved/relocated or the 'expanded rosters bit' has been moved this editor "
         "will ignore this change.  For now..."}, {"POS1CBO#254", "FE-End of Team Roster Data"},
        {"question", "Are you sure?\nAre you sure you want to make this and all slots afterwards "
         "empty?  This is not reversible"}, {"ViewExpandedRosterCHK", "View Expanded Roster?"},
        {"save failure", "Team Roster Editor\nThe roster slot could not be saved."},
        {"undo apply", "Apply to Team 01 Slot 1"}, {"undo end", "Make Last Player"},
        {"read failure", "Team Roster Editor\nThe roster slot could not be read."},
        {"mnuTeamDEC", "Copy Team Data Decimal Offset to Clipboard"}, {"TeamLST#27", "All-Stars"},
        {"mnuTeamHEX", "Copy Team Data Hex Offset to Clipboard"}, {"POS2CBO#170", "Unknown/Dummy"},
        {"label", "Decimal offset of selected team:"}, {"HEXLBL.tip", "Click to copy an offset."},
        {"label", "Hex offset of selected team:"}, {"PlayerSelectFRA", "Player Selection:"},
        {"POS1CBO#0", "00-" + player0 + " (*)"}, {"RosterEditor", "Team Roster Editor"},
        {"LastPlayerCMD", "Make Last Player"}, {"POS1CBO#253", "Unknown/Dummy"},
        {"POS2CBO#255", "Unknown/Dummy"}, {"mnuCopyParent", "Copy Offset"}, {"SlotLST#0", "Slot 1"},
        {"DummyCMD", "Uncoded Feature"}, {"TeamLST#28", "Rookies"}, {"SlotLST#19", "Slot 20"},
        {"label", "Position #1:"}, {"label", "Position #2:"}, {"POS1CBO.tip", blanking},
        {"POS2CBO.tip", blanking}, {"HEXFRA", "Offsets:"}, {"ApplyCMD", "Apply"},
        {"QuitCMD", "Cancel"}});
    // clang-format on
}

// Ctrl+Z takes back the window's last Apply and shows the slot as the file holds it again;
// Ctrl+Shift+Z writes it again. A change made before the window opened stays out of reach.
TEST_F(RosterEditorTest, UndoKeysTakeBackTheWindowsOwnApply) {
    ASSERT_TRUE(session_.apply(saveSlot("Before", 1, 0, {0x01, 0x02})));
    openWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    clickRow("TeamLST", 0);
    child<QComboBox>("POS1CBO")->setCurrentIndex(0x33);
    click("ApplyCMD");
    QTest::keyClick(window_.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(file().at(kTeam0) == 0x05 && code("POS1CBO") == 0x05);
    QTest::keyClick(window_.get(), Qt::Key_Z, Qt::ControlModifier);  // not this window's
    EXPECT_EQ(file().at(kTeam0 + 80), 0x01);
    QTest::keyClick(window_.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(file().at(kTeam0) == 0x33 && code("POS1CBO") == 0x33);
}

}  // namespace slamwise
