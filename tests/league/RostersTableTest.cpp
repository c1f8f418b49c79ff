// The rosters table driven through its view and its slot editor: the codes it shows, the slots
// it applies as one change, "Make Last Player", byte by byte.
#include "league/RostersTable.h"
#include "tests/support/WindowTest.h"

namespace slamwise {
namespace {

constexpr std::uint32_t slotAt(int team, int slot) {
    return 0xB18CF + 80 * static_cast<std::uint32_t>(team) + 4 * static_cast<std::uint32_t>(slot);
}

class RostersTableTest : public test::WindowTest<RostersTable> {
  protected:
    void SetUp() override {
        image_.at(slotAt(0, 0)) = 0x01;
        image_.at(slotAt(0, 0) + 2) = 0xA9;
        image_.at(slotAt(28, 19)) = 0xFE;
        ASSERT_NO_FATAL_FAILURE(openImage());
        openWindow();
    }
};

// Two slots chosen, one set back: the two show bold and apply as one change of their four
// bytes, which undo and redo take back and write again.
TEST_F(RostersTableTest, SlotsChosenApplyAsOneChangeUndoAndRedo) {
    EXPECT_TRUE(table()->objectName() == "RostersTBL" && table()->model()->rowCount() == 29 &&
                table()->model()->columnCount() == 20);
    EXPECT_TRUE(cell(0, 0).startsWith("01-") && cell(0, 0).contains(" / A9-") &&
                cell(28, 19).startsWith("FE-End of Team Roster Data / "));
    EXPECT_EQ(table()->model()->headerData(0, Qt::Horizontal).toString(), "Slot 1");
    auto* first = editor<QComboBox>(0, 0, "Position1CBO");
    auto* second = table()->viewport()->findChild<QComboBox*>("Position2CBO");
    ASSERT_TRUE(first != nullptr && second != nullptr && first->count() == 256);
    first->setCurrentIndex(0x05);
    second->setCurrentIndex(0x06);
    QTest::keyClick(second, Qt::Key_Tab);  // leaving the editor commits it
    table()->setFocus();
    table()->model()->setData(at(3, 7), 0x0A0B, Qt::EditRole);
    table()->model()->setData(at(4, 7), 0x0C0D, Qt::EditRole);
    const QVariant stored = at(5, 5).data(Qt::EditRole);
    table()->model()->setData(at(5, 5), 0x0102, Qt::EditRole);
    table()->model()->setData(at(5, 5), stored, Qt::EditRole);
    EXPECT_TRUE(at(0, 0).data(Qt::FontRole).value<QFont>().bold() && cell(0, 0).startsWith("05-"));
    EXPECT_TRUE(table()->model()->headerData(3, Qt::Vertical).toString().endsWith(" *"));
    click("RostersApplyCMD");
    const std::map<std::uint32_t, int> written = {{slotAt(0, 0), 0x05}, {slotAt(0, 0) + 2, 0x06},
                                                  {slotAt(3, 7), 0x0A}, {slotAt(3, 7) + 2, 0x0B},
                                                  {slotAt(4, 7), 0x0C}, {slotAt(4, 7) + 2, 0x0D}};
    expectWritten(written);
    EXPECT_EQ(history().undoLabel(), "Apply to 3 Roster Slots");
    EXPECT_FALSE(at(0, 0).data(Qt::FontRole).value<QFont>().bold());
    ASSERT_TRUE(session_.undo());
    EXPECT_TRUE(changed().empty() && cell(0, 0).startsWith("01-"));
    ASSERT_TRUE(session_.redo());
    expectWritten(written);
}

// "Make Last Player" asks the roster editor's question (its text and the change's label are
// pinned there: both windows share them) and, answered Yes, ends the roster at the cell at once
// (FE, then FF); No writes nothing.
TEST_F(RostersTableTest, MakeLastPlayerEndsTheRosterAtTheCell) {
    table()->setCurrentIndex(at(2, 5));
    fake_.messages.answers = {false, true};
    child<QAction>("RostersLastPlayerCMD")->trigger();
    EXPECT_TRUE(changed().empty());
    child<QAction>("RostersLastPlayerCMD")->trigger();
    EXPECT_EQ(fake_.messages.questions.at(0).title, "Are you sure?");
    expectWritten({{slotAt(2, 5), 0xFE}, {slotAt(2, 5) + 1, 0xFF}});
    EXPECT_TRUE(cell(2, 5).startsWith("FE-"));
}

}  // namespace
}  // namespace slamwise
