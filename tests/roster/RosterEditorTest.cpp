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

namespace slamwise {
namespace {

using test::changedOffsets;
using test::FakePlatform;
using test::Image;
using test::readFile;
using test::TempDir;

constexpr std::uint32_t kTeam0 = 0xB18CF;
constexpr std::uint32_t kTeam0Slot20 = 0xB191B;
constexpr std::uint32_t kRookiesSlot1 = 0xB218F;

class RosterEditorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        image_.at(kTeam0) = 0x05;
        image_.at(kTeam0 + 1) = 0x11;
        image_.at(kTeam0 + 2) = 0xA9;
        image_.at(kTeam0 + 4) = 0x07;  // slot 2
        image_.at(kTeam0Slot20) = 0xC0;
        image_.at(kTeam0Slot20 + 2) = 0xFF;
        image_.at(kRookiesSlot1) = 0x00;
        image_.at(kRookiesSlot1 + 2) = 0xFE;
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

    void clickRow(const char* listName, int row) {
        auto* list = find<QListWidget>(listName);
        QListWidgetItem* item = list->item(row);
        list->scrollToItem(item);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(item).center());
    }

    std::vector<std::uint32_t> changed() { return changedOffsets(image_.bytes(), readFile(path_)); }
    std::uint8_t fileByte(std::uint32_t offset) { return readFile(path_).at(offset); }
    int code1() { return find<QComboBox>("POS1CBO")->currentIndex(); }
    int code2() { return find<QComboBox>("POS2CBO")->currentIndex(); }
    QString hexText() { return find<QLabel>("HEXLBL")->text(); }
    QString decText() { return find<QLabel>("DECLBL")->text(); }

    Image image_;
    TempDir dir_;
    std::string path_;
    FakePlatform fake_;
    std::unique_ptr<OpenedImage> opened_;
    std::unique_ptr<RosterEditor> dialog_;
};

TEST_F(RosterEditorTest, OpensFreshWithNothingSelected) {
    EXPECT_EQ(dialog_->windowTitle(), "Team Roster Editor");
    EXPECT_TRUE(find<QListWidget>("TeamLST")->selectedItems().isEmpty());
    EXPECT_TRUE(find<QListWidget>("SlotLST")->selectedItems().isEmpty());
    EXPECT_EQ(code1(), -1);
    EXPECT_EQ(code2(), -1);
    EXPECT_EQ(hexText(), "000000");
    EXPECT_EQ(decText(), "000000");
    EXPECT_FALSE(find<QPushButton>("ApplyCMD")->isEnabled());
    EXPECT_FALSE(find<QPushButton>("LastPlayerCMD")->isEnabled());
    EXPECT_FALSE(find<QPushButton>("DummyCMD")->isEnabled());
    auto* expanded = find<QCheckBox>("ViewExpandedRosterCHK");
    EXPECT_FALSE(expanded->isVisible());
    EXPECT_FALSE(expanded->isEnabled());
    EXPECT_FALSE(expanded->isChecked());

    auto* teams = find<QListWidget>("TeamLST");
    ASSERT_EQ(teams->count(), 29);
    EXPECT_EQ(teams->item(27)->text(), "All-Stars");
    EXPECT_EQ(teams->item(28)->text(), "Rookies");
    auto* slotList = find<QListWidget>("SlotLST");
    ASSERT_EQ(slotList->count(), 20);
    EXPECT_EQ(slotList->item(19)->text(), "Slot 20");
    auto* pos1 = find<QComboBox>("POS1CBO");
    ASSERT_EQ(pos1->count(), 256);
    EXPECT_FALSE(pos1->isEditable());
    EXPECT_EQ(pos1->itemText(0xFE), "FE-End of Team Roster Data");
    EXPECT_EQ(pos1->toolTip(),
              QString::fromStdString(defaultNames().players[0]) +
                  " byte ($00) can also be used to blank out player slots after the cut-off byte "
                  "($FE) is used.");

    // A slot chosen before any team shows nothing and reads nothing.
    clickRow("SlotLST", 3);
    EXPECT_EQ(code1(), -1);
    EXPECT_EQ(hexText(), "000000");
    EXPECT_FALSE(find<QPushButton>("ApplyCMD")->isEnabled());
}

TEST_F(RosterEditorTest, TeamClickShowsSlotOneAndTheTeamOffset) {
    clickRow("TeamLST", 0);
    auto* slotList = find<QListWidget>("SlotLST");
    ASSERT_EQ(slotList->selectedItems().size(), 1);
    EXPECT_EQ(slotList->row(slotList->selectedItems().first()), 0);
    EXPECT_EQ(code1(), 0x05);
    EXPECT_EQ(code2(), 0xA9);
    EXPECT_EQ(hexText(), "$B18CF");
    EXPECT_EQ(decText(), "727247");
    EXPECT_TRUE(find<QPushButton>("ApplyCMD")->isEnabled());
    EXPECT_TRUE(find<QPushButton>("LastPlayerCMD")->isEnabled());

    clickRow("SlotLST", 19);
    EXPECT_EQ(code1(), 0xC0);
    EXPECT_EQ(find<QComboBox>("POS1CBO")->currentText(), "Unknown/Dummy");
    EXPECT_EQ(code2(), 0xFF);
    EXPECT_EQ(hexText(), "$B18CF");
    EXPECT_EQ(decText(), "727247");
    EXPECT_TRUE(changed().empty());
}

TEST_F(RosterEditorTest, RookiesOffsetsAndCopyMenu) {
    // Before any slot is shown the copy items give the placeholder.
    find<QAction>("mnuTeamDEC")->trigger();
    EXPECT_EQ(fake_.clipboard.text, "000000");
    find<QAction>("mnuTeamHEX")->trigger();
    EXPECT_EQ(fake_.clipboard.text, "0");

    clickRow("TeamLST", 28);
    EXPECT_EQ(code1(), 0x00);
    EXPECT_EQ(code2(), 0xFE);
    EXPECT_EQ(hexText(), "$B218F");
    EXPECT_EQ(decText(), "729487");

    auto* menu = find<QMenu>("mnuCopyParent");
    EXPECT_EQ(menu->title(), "Copy Offset");
    ASSERT_EQ(menu->actions().size(), 2);
    EXPECT_EQ(menu->actions()[0]->objectName(), "mnuTeamHEX");
    EXPECT_EQ(menu->actions()[0]->text(), "Copy Team Data Hex Offset to Clipboard");
    EXPECT_EQ(menu->actions()[1]->text(), "Copy Team Data Decimal Offset to Clipboard");
    QTest::mouseClick(find<QLabel>("DECLBL"), Qt::LeftButton);
    EXPECT_TRUE(menu->isVisible());
    menu->hide();

    find<QAction>("mnuTeamDEC")->trigger();
    EXPECT_EQ(fake_.clipboard.text, "729487");
    find<QAction>("mnuTeamHEX")->trigger();
    EXPECT_EQ(fake_.clipboard.text, "B218F");
    EXPECT_TRUE(changed().empty());
}

TEST_F(RosterEditorTest, ShowingAnotherSlotDiscardsAnUnappliedChoice) {
    clickRow("TeamLST", 0);
    find<QComboBox>("POS1CBO")->setCurrentIndex(0x33);
    clickRow("SlotLST", 1);
    EXPECT_EQ(code1(), 0x07);
    clickRow("SlotLST", 0);
    EXPECT_EQ(code1(), 0x05);

    // Clicking the slot that is already shown shows it again; clicking the selected team
    // goes back to its first slot.
    find<QComboBox>("POS1CBO")->setCurrentIndex(0x33);
    clickRow("SlotLST", 0);
    EXPECT_EQ(code1(), 0x05);
    clickRow("SlotLST", 1);
    clickRow("TeamLST", 0);
    EXPECT_EQ(find<QListWidget>("SlotLST")->currentRow(), 0);
    EXPECT_EQ(code1(), 0x05);
    EXPECT_TRUE(changed().empty());
}

TEST_F(RosterEditorTest, ApplyWritesBothCodesOnly) {
    clickRow("TeamLST", 0);
    find<QComboBox>("POS1CBO")->setCurrentIndex(0x12);
    find<QComboBox>("POS2CBO")->setCurrentIndex(0xFE);
    find<QPushButton>("ApplyCMD")->click();
    EXPECT_EQ(changed(), (std::vector<std::uint32_t>{kTeam0, kTeam0 + 2}));
    EXPECT_EQ(fileByte(kTeam0), 0x12);
    EXPECT_EQ(fileByte(kTeam0 + 2), 0xFE);
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_TRUE(fake_.messages.shown.empty());
}

TEST_F(RosterEditorTest, MakeLastPlayerAsksFirst) {
    clickRow("TeamLST", 0);
    find<QPushButton>("LastPlayerCMD")->click();  // the fake answers No
    ASSERT_EQ(fake_.messages.questions.size(), 1u);
    EXPECT_EQ(fake_.messages.questions[0].title, "Are you sure?");
    EXPECT_EQ(fake_.messages.questions[0].text,
              "Are you sure you want to make this and all slots afterwards empty?  This is not "
              "reversible");
    EXPECT_EQ(code1(), 0x05);
    EXPECT_TRUE(changed().empty());

    fake_.messages.answers.push_back(true);
    find<QPushButton>("LastPlayerCMD")->click();
    EXPECT_EQ(code1(), 0xFE);
    EXPECT_EQ(code2(), 0x00);
    EXPECT_EQ(changed(), (std::vector<std::uint32_t>{kTeam0, kTeam0 + 1}));
    EXPECT_EQ(fileByte(kTeam0), 0xFE);
    EXPECT_EQ(fileByte(kTeam0 + 1), 0xFF);
    EXPECT_EQ(fileByte(kTeam0 + 2), 0xA9);

    find<QPushButton>("ApplyCMD")->click();
    EXPECT_EQ(changed(), (std::vector<std::uint32_t>{kTeam0, kTeam0 + 1, kTeam0 + 2}));
    EXPECT_EQ(fileByte(kTeam0), 0xFE);
    EXPECT_EQ(fileByte(kTeam0 + 2), 0x00);
}

TEST_F(RosterEditorTest, CancelStoresTheSettingAndKeepsWhatWasApplied) {
    clickRow("TeamLST", 0);
    find<QComboBox>("POS2CBO")->setCurrentIndex(0x20);
    find<QPushButton>("ApplyCMD")->click();
    find<QPushButton>("QuitCMD")->click();
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(fake_.settings.value("Show Expanded Data"), "0");
    EXPECT_EQ(changed(), (std::vector<std::uint32_t>{kTeam0 + 2}));
}

TEST_F(RosterEditorTest, ClosingByTheFrameWritesNothing) {
    clickRow("TeamLST", 0);
    find<QComboBox>("POS1CBO")->setCurrentIndex(0x20);
    dialog_->close();
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_TRUE(fake_.settings.writes.empty());
    EXPECT_TRUE(changed().empty());
}

TEST_F(RosterEditorTest, WriteFailureIsReportedAndTheWindowStaysUsable) {
    open(RomFile::Access::ReadOnly);
    clickRow("TeamLST", 1);
    find<QPushButton>("ApplyCMD")->click();
    ASSERT_EQ(fake_.messages.shown.size(), 1u);
    EXPECT_EQ(fake_.messages.shown[0].icon, MessageBoxes::Icon::Critical);
    EXPECT_FALSE(fake_.messages.shown[0].details.isEmpty());
    EXPECT_TRUE(dialog_->isVisible());
    clickRow("SlotLST", 19);
    EXPECT_TRUE(find<QPushButton>("ApplyCMD")->isEnabled());
    EXPECT_TRUE(changed().empty());
}

TEST_F(RosterEditorTest, ClearingASelectionDisablesWhatNeedsOne) {
    for (const char* listName : {"SlotLST", "TeamLST"}) {
        clickRow("TeamLST", 0);
        auto* list = find<QListWidget>(listName);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          list->visualItemRect(list->item(0)).center());
        ASSERT_TRUE(list->selectedItems().isEmpty()) << listName;
        EXPECT_FALSE(find<QPushButton>("ApplyCMD")->isEnabled()) << listName;
        EXPECT_FALSE(find<QPushButton>("LastPlayerCMD")->isEnabled()) << listName;
    }
    EXPECT_TRUE(fake_.messages.shown.empty());
    EXPECT_TRUE(changed().empty());
}

TEST_F(RosterEditorTest, AFailedReadShowsTheSelectedTeamsOffset) {
    clickRow("TeamLST", 0);
    FaultPlan plan;
    plan.persistent = true;
    {
        ScopedFaultPlan failing(plan);
        clickRow("TeamLST", 1);
    }
    ASSERT_EQ(fake_.messages.shown.size(), 1u);
    EXPECT_EQ(hexText(), "$B191F");
    EXPECT_EQ(decText(), "727327");
    EXPECT_FALSE(find<QPushButton>("ApplyCMD")->isEnabled());
}

}  // namespace
}  // namespace slamwise
