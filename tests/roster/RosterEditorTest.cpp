#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "rom/FaultInjection.h"
#include "roster/RosterEditor.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/ImageBuilder.h"
#include "tests/widgets/ShownTexts.h"

namespace slamwise {
namespace {

using test::Image;

constexpr std::uint32_t kTeam0 = 0xB18CF;

class RosterEditorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (auto [offset, value] : {std::pair{kTeam0, 0x05},
                                     {kTeam0 + 1, 0x11},
                                     {kTeam0 + 2, 0xA9},
                                     {kTeam0 + 4, 0x07},
                                     {0xB191B, 0xC0},
                                     {0xB191D, 0xFF},
                                     {0xB218F, 0x00},
                                     {0xB2191, 0xFE}}) {
            image_.at(offset) = static_cast<std::uint8_t>(value);
        }
        open(RomFile::Access::ReadWrite);
    }
    void open(RomFile::Access access) {
        dialog_.reset();
        opened_.reset();
        path_ = image_.writeTo(dir_.file("roster.sfc"));
        Result<OpenedImage> opened = OpenedImage::open(path_, access);
        ASSERT_TRUE(opened) << opened.error();
        opened_ = std::make_unique<OpenedImage>(std::move(opened).value());
        dialog_ = std::make_unique<RosterEditor>(*opened_, fake_.platform(), defaultNames());
        dialog_->show();
    }

    template <class T>
    T* find(const char* name) {
        T* widget = dialog_->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void clickRow(const char* listName, int row, Qt::KeyboardModifiers keys = {}) {
        auto* list = find<QListWidget>(listName);
        list->scrollToItem(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, keys,
                          list->visualItemRect(list->item(row)).center());
    }
    void click(const char* name) { find<QPushButton>(name)->click(); }
    bool enabled(const char* name) { return find<QWidget>(name)->isEnabled(); }
    QString copied(const char* action) {
        find<QAction>(action)->trigger();
        return fake_.clipboard.text;
    }

    std::vector<std::uint32_t> changed() {
        return test::changedOffsets(image_.bytes(), test::readFile(path_));
    }
    std::uint8_t fileByte(std::uint32_t offset) { return test::readFile(path_).at(offset); }
    int code(const char* box) { return find<QComboBox>(box)->currentIndex(); }
    QString label(const char* name) { return find<QLabel>(name)->text(); }

    Image image_;
    test::TempDir dir_;
    std::string path_;
    test::FakePlatform fake_;
    std::unique_ptr<OpenedImage> opened_;
    std::unique_ptr<RosterEditor> dialog_;
};

TEST_F(RosterEditorTest, ShowsItsTexts) {
    std::map<QString, QString> collected = {{"RosterEditor", dialog_->windowTitle()}};
    clickRow("TeamLST", 0);
    click("LastPlayerCMD");  // the fake answers No
    open(RomFile::Access::ReadOnly);
    clickRow("TeamLST", 1);
    click("ApplyCMD");
    fake_.messages.answers.push_back(true);
    click("LastPlayerCMD");
    FaultPlan plan;
    plan.persistent = true;
    {
        ScopedFaultPlan failing(plan);
        clickRow("TeamLST", 2);
    }
    ASSERT_EQ(fake_.messages.questions.size(), 2u);
    ASSERT_EQ(fake_.messages.shown.size(), 3u);
    collected["question"] = test::messageText(fake_.messages.questions[0]);
    collected["save failure"] = test::messageText(fake_.messages.shown[0]);
    collected["end failure"] = fake_.messages.shown[1].text;
    collected["read failure"] = fake_.messages.shown[2].text;

    const std::string player0 = defaultNames().players[0];
    const std::string blanking = player0 +
                                 " byte ($00) can also be used to blank out player slots after the "
                                 "cut-off byte ($FE) is used.";
    // clang-format off
    test::expectTexts(dialog_.get(), {
        {"RosterEditor", "Team Roster Editor"}, {"TeamLST#27", "All-Stars"}, {"TeamLST#28", "Rookies"},
        {"SlotLST#0", "Slot 1"}, {"SlotLST#19", "Slot 20"}, {"PlayerSelectFRA", "Player Selection:"},
        {"label", "Position #1:"}, {"label", "Position #2:"}, {"POS1CBO#0", "00-" + player0 + " (*)"},
        {"POS2CBO#170", "Unknown/Dummy"}, {"POS1CBO#253", "Unknown/Dummy"},
        {"POS1CBO#254", "FE-End of Team Roster Data"}, {"POS2CBO#255", "Unknown/Dummy"},
        {"POS1CBO.tip", blanking}, {"POS2CBO.tip", blanking}, {"LastPlayerCMD", "Make Last Player"},
        {"LastPlayerCMD.tip", "Use this option to cut off the rest of the players after the selected slot.  "},
        {"DummyCMD", "Uncoded Feature"}, {"HEXFRA", "Offsets:"}, {"label", "Hex offset of selected team:"},
        {"label", "Decimal offset of selected team:"},
        {"InfoLBL", "This edits the roster data as it sits in the default unedited ROM.  If any data has been "
         "moved/relocated or the 'expanded rosters bit' has been moved this editor will ignore this change.  "
         "For now..."},
        {"ApplyCMD", "Apply"}, {"QuitCMD", "Cancel"}, {"ViewExpandedRosterCHK", "View Expanded Roster?"},
        {"mnuCopyParent", "Copy Offset"}, {"mnuTeamHEX", "Copy Team Data Hex Offset to Clipboard"},
        {"mnuTeamDEC", "Copy Team Data Decimal Offset to Clipboard"}, {"HEXLBL.tip", "Click to copy an offset."},
        {"question", "Are you sure?\nAre you sure you want to make this and all slots afterwards empty?  "
         "This is not reversible"},
        {"save failure", "Team Roster Editor\nThe roster slot could not be saved."},
        {"end failure", "The roster could not be ended at this slot."},
        {"read failure", "The roster slot could not be read."}}, collected);
    // clang-format on
}

TEST_F(RosterEditorTest, OpensFreshWithNothingSelected) {
    EXPECT_TRUE(find<QListWidget>("TeamLST")->selectedItems().isEmpty());
    EXPECT_TRUE(find<QListWidget>("SlotLST")->selectedItems().isEmpty());
    EXPECT_EQ(find<QComboBox>("POS1CBO")->count(), 256);
    EXPECT_FALSE(find<QComboBox>("POS1CBO")->isEditable());
    auto* expanded = find<QCheckBox>("ViewExpandedRosterCHK");
    EXPECT_FALSE(expanded->isVisible() || expanded->isEnabled() || expanded->isChecked());
    clickRow("SlotLST", 3);  // a slot before any team shows and reads nothing
    for (const char* box : {"POS1CBO", "POS2CBO"})
        EXPECT_EQ(code(box), -1);
    for (const char* name : {"HEXLBL", "DECLBL"})
        EXPECT_EQ(label(name), "000000");
    for (const char* name : {"ApplyCMD", "LastPlayerCMD", "DummyCMD"})
        EXPECT_FALSE(enabled(name));
    EXPECT_EQ(copied("mnuTeamDEC"), "000000");
    EXPECT_EQ(copied("mnuTeamHEX"), "0");
}

// The codes of the slot, and the offset of its team, whichever slot is shown; the copy items
// put that offset on the clipboard.
TEST_F(RosterEditorTest, SlotsShowTheirCodesAndTheTeamOffset) {
    struct Case {
        int team, slot, code1, code2;
        const char *hex, *dec;
    };
    const Case cases[] = {{0, -1, 0x05, 0xA9, "$B18CF", "727247"},
                          {0, 19, 0xC0, 0xFF, "$B18CF", "727247"},
                          {28, -1, 0x00, 0xFE, "$B218F", "729487"}};
    for (const Case& c : cases) {
        clickRow(c.slot < 0 ? "TeamLST" : "SlotLST", c.slot < 0 ? c.team : c.slot);
        EXPECT_EQ(find<QListWidget>("SlotLST")->currentRow(), std::max(c.slot, 0));
        EXPECT_EQ(code("POS1CBO"), c.code1);
        EXPECT_EQ(code("POS2CBO"), c.code2);
        EXPECT_EQ(label("HEXLBL"), c.hex);
        EXPECT_EQ(label("DECLBL"), c.dec);
        EXPECT_EQ(copied("mnuTeamDEC"), c.dec);
        EXPECT_EQ(copied("mnuTeamHEX"), QString(c.hex).mid(1));
        EXPECT_TRUE(enabled("ApplyCMD") && enabled("LastPlayerCMD"));
    }
    QTest::mouseClick(find<QLabel>("DECLBL"), Qt::LeftButton);
    EXPECT_TRUE(find<QMenu>("mnuCopyParent")->isVisible());
    find<QMenu>("mnuCopyParent")->hide();
    EXPECT_TRUE(changed().empty());
}

TEST_F(RosterEditorTest, ShowingAnySlotDiscardsAnUnappliedChoice) {
    clickRow("TeamLST", 0);
    // Another slot, the same slot again, and the selected team again (back to its slot 1).
    for (auto [list, row, shown] :
         {std::tuple{"SlotLST", 1, 0x07}, {"SlotLST", 1, 0x07}, {"TeamLST", 0, 0x05}}) {
        find<QComboBox>("POS1CBO")->setCurrentIndex(0x33);
        clickRow(list, row);
        EXPECT_EQ(code("POS1CBO"), shown) << list;
    }
    EXPECT_TRUE(changed().empty());
}

// Apply writes both codes; "Make Last Player" answered Yes writes FE FF at the slot and shows
// FE and 00, which a following Apply writes; Cancel keeps what was applied.
TEST_F(RosterEditorTest, ApplyAndMakeLastPlayerWriteTheSlot) {
    clickRow("TeamLST", 0);
    find<QComboBox>("POS1CBO")->setCurrentIndex(0x12);
    find<QComboBox>("POS2CBO")->setCurrentIndex(0xFE);
    click("ApplyCMD");
    EXPECT_EQ(changed(), (std::vector<std::uint32_t>{kTeam0, kTeam0 + 2}));
    EXPECT_EQ(fileByte(kTeam0), 0x12);
    EXPECT_EQ(fileByte(kTeam0 + 2), 0xFE);

    clickRow("SlotLST", 19);
    fake_.messages.answers.push_back(true);
    click("LastPlayerCMD");
    EXPECT_EQ(code("POS1CBO"), 0xFE);
    EXPECT_EQ(code("POS2CBO"), 0x00);
    EXPECT_EQ(changed(), (std::vector<std::uint32_t>{kTeam0, kTeam0 + 2, 0xB191B, 0xB191C}));
    EXPECT_EQ(fileByte(0xB191B), 0xFE);
    EXPECT_EQ(fileByte(0xB191C), 0xFF);
    EXPECT_EQ(fileByte(0xB191D), 0xFF);
    click("ApplyCMD");
    EXPECT_EQ(fileByte(0xB191D), 0x00);

    click("QuitCMD");
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(fake_.settings.writes,
              (decltype(fake_.settings.writes){{"Show Expanded Data", "0"}}));
    EXPECT_EQ(changed().size(), 5u);
    EXPECT_TRUE(fake_.messages.shown.empty());
}

// Refusals: "Make Last Player" answered No, a cleared selection, a closing by the frame, a
// failed read (the offset is still the team's) and a failed write write nothing.
TEST_F(RosterEditorTest, RefusalsWriteNothing) {
    clickRow("TeamLST", 0);
    click("LastPlayerCMD");
    EXPECT_EQ(code("POS1CBO"), 0x05);
    for (const char* listName : {"SlotLST", "TeamLST"}) {
        clickRow("TeamLST", 0);
        clickRow(listName, 0, Qt::ControlModifier);
        EXPECT_FALSE(enabled("ApplyCMD") || enabled("LastPlayerCMD")) << listName;
    }
    clickRow("TeamLST", 0);
    FaultPlan plan;
    plan.persistent = true;
    {
        ScopedFaultPlan failing(plan);
        clickRow("TeamLST", 1);
    }
    EXPECT_EQ(label("HEXLBL"), "$B191F");
    EXPECT_EQ(label("DECLBL"), "727327");
    EXPECT_FALSE(enabled("ApplyCMD"));
    find<QComboBox>("POS1CBO")->setCurrentIndex(0x20);
    dialog_->close();
    EXPECT_TRUE(fake_.settings.writes.empty());

    open(RomFile::Access::ReadOnly);
    clickRow("TeamLST", 1);
    click("ApplyCMD");
    EXPECT_TRUE(dialog_->isVisible());
    clickRow("SlotLST", 19);
    EXPECT_TRUE(enabled("ApplyCMD"));
    ASSERT_EQ(fake_.messages.shown.size(), 2u);
    EXPECT_EQ(fake_.messages.shown[1].icon, MessageBoxes::Icon::Critical);
    EXPECT_FALSE(fake_.messages.shown[1].details.isEmpty());
    EXPECT_TRUE(changed().empty());
}

}  // namespace
}  // namespace slamwise
