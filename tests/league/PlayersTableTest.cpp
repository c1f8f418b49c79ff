// The players table driven through its view, its editors and its keys: what it shows, edits,
// pastes, sets and applies, byte by byte, with one undo entry per Apply.
#include "league/PlayersTable.h"

#include "image/Changes.h"
#include "tests/support/WindowTest.h"

namespace slamwise {
namespace {

constexpr std::uint32_t actual(int player) {
    return 0x1FB8CF + 26 * static_cast<std::uint32_t>(player);
}
constexpr std::uint32_t visual(int player) {
    return 0x930C9 + 16 * static_cast<std::uint32_t>(player);
}
class PlayersTableTest : public test::WindowTest<PlayersTable> {
  protected:
    void SetUp() override {
        image_.put16(actual(0) + 4, 0x1711);  // speed 8
        image_.put16(actual(1) + 0x16, 0xB789);
        image_.put16(actual(1) + 6, 0x1234);  // no three-point rating
        ASSERT_NO_FATAL_FAILURE(openImage());
        openWindow();
    }
    void paste(int row, int column, const QString& text) {
        table()->setCurrentIndex(at(row, column));
        fake_.clipboard.text = text;
        child<QAction>("PlayersPasteKey")->trigger();
    }
};

// A spin box (0-10) and a list edit two players; both show as changed; Apply writes the two
// players as one change in the playing record and the displayed copy; undo and redo show.
TEST_F(PlayersTableTest, EditorsChangeCellsAndApplyWritesThemAsOneChange) {
    EXPECT_EQ(window_->windowTitle(), "Players Table");
    EXPECT_EQ(table()->objectName(), "PlayersTBL");
    EXPECT_EQ(cell(0, 2) + cell(1, 3) + cell(1, 12) + cell(130, 13), "8raw:0x1234White");
    EXPECT_FALSE(enabled("PlayersApplyCMD") || enabled("PlayersRevertCMD"));
    auto* speed = editor<QSpinBox>(0, 2);
    ASSERT_NE(speed, nullptr);
    EXPECT_TRUE(speed->minimum() == 0 && speed->maximum() == 10 && speed->value() == 8);
    speed->setValue(9);
    QTest::keyClick(speed, Qt::Key_Return);
    QApplication::processEvents();  // the view commits the editor's data when it comes back
    auto* skin = editor<QComboBox>(1, 12);
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->itemText(1), "Black (Unused?)");
    skin->setCurrentIndex(0);
    QTest::keyClick(skin, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ((cell(0, 0) + cell(0, 2) + cell(0, 13) + cell(1, 0) + cell(1, 12)).toStdString(),
              "0*991*Black");
    EXPECT_TRUE(at(0, 2).data(Qt::FontRole).value<QFont>().bold() &&
                !at(0, 3).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_TRUE(changed().empty() && enabled("PlayersApplyCMD"));

    click("PlayersApplyCMD");
    const std::map<std::uint32_t, int> written = {{actual(0) + 4, 0x77},
                                                  {actual(0) + 5, 0x17},
                                                  {visual(0), 9},
                                                  {actual(1) + 0x16, 0x7F},
                                                  {actual(1) + 0x17, 0xB7}};
    expectWritten(written);
    EXPECT_EQ(history().undoLabel(), "Apply to 2 Players");
    EXPECT_EQ((cell(0, 0) + cell(1, 12)).toStdString(), "0Black");
    ASSERT_TRUE(session_.undo());
    EXPECT_TRUE(changed().empty());
    EXPECT_EQ(cell(0, 2) + cell(1, 12), "8White");
    ASSERT_TRUE(session_.redo());
    expectWritten(written);
    EXPECT_EQ(cell(0, 2) + cell(0, 13), "99");
}

// A 169 x 8 block of ratings from a spreadsheet, pasted from the first rating cell and applied:
// every player's eight ratings as the player's own save writes them (pinned with the player
// records; players 128 and up have no displayed copy before relocation), one undo entry, undone
// to the original bytes and redone.
TEST_F(PlayersTableTest, AWholeLeagueOfRatingsIsPastedAppliedUndoneAndRedone) {
    QString block;
    Edit edit;
    for (int player = 0; player < 169; ++player) {
        for (std::uint32_t field = 4; field < 0x16; ++field)  // no value the paste gives
            image_.at(actual(player) + field) = 0x20;
        PlayerEdit saved;
        saved.player = player;
        for (int r = 0; r < 8; ++r) {
            saved.ratings[r] = (player + r) % 11;
            block += QString::number(*saved.ratings[r]) + (r < 7 ? "\t" : "\r\n");
        }
        saved.encode(edit, VisualLayout::Standard);
    }
    ASSERT_NO_FATAL_FAILURE(openImage());
    openWindow();
    paste(0, 2, block);
    click("PlayersApplyCMD");
    EXPECT_EQ(history().undoLabel(), "Apply to 169 Players");
    const std::vector<std::uint8_t> expected = withEdit(image_.bytes(), edit);
    EXPECT_EQ(test::changedOffsets(expected, file()), std::vector<std::uint32_t>{});
    ASSERT_TRUE(session_.undo());
    EXPECT_TRUE(file() == image_.bytes());
    ASSERT_TRUE(session_.redo());
    EXPECT_EQ(test::changedOffsets(expected, file()), std::vector<std::uint32_t>{});
}

// One message names every cell that does not fit, and nothing of the paste is taken; a copy of
// whole rows carries the header, a copy of cells does not; a text equal to the cell is no change.
TEST_F(PlayersTableTest, BadPastesAreRefusedWholeAndCopiesAreTabSeparated) {
    paste(0, 2, "5\t11\nx\t4\n");
    paste(2, 0, "2\tSomeone\n");
    paste(168, 19, "1\t2\t3\n");
    ASSERT_EQ(fake_.messages.shown.size(), 3u);
    EXPECT_EQ(fake_.messages.shown[0].text,
              "Nothing was pasted: these values do not fit their cells.");
    EXPECT_EQ(fake_.messages.shown[0].details,
              "Row 1 (player 0), 3 Pointer, \"11\": is not a rating from 0 to 10\n"
              "Row 2 (player 1), Speed, \"x\": is not a rating from 0 to 10");
    EXPECT_EQ(fake_.messages.shown[1].details,
              "Row 3 (player 2), Name, \"Someone\": cannot be changed");
    EXPECT_EQ(fake_.messages.shown[2].details.toStdString(),
              "Row 169 (player 168), Visual Block, \"1\": cannot be changed\n"
              "Row 169 (player 168), Visual Clutch, \"2\": cannot be changed\n"
              "Row 169, column 22, \"3\": is outside the table");
    EXPECT_FALSE(enabled("PlayersApplyCMD"));

    table()->selectionModel()->select(QItemSelection(at(0, 2), at(1, 3)),
                                      QItemSelectionModel::ClearAndSelect);
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    table()->setFocus();
    QTest::keySequence(table(), QKeySequence::Copy);
    EXPECT_EQ(fake_.clipboard.text, "8\t" + cell(0, 3) + "\n" + cell(1, 2) + "\traw:0x1234\n");
    paste(0, 2, fake_.clipboard.text);  // the same texts: no change
    EXPECT_FALSE(enabled("PlayersApplyCMD"));
    fake_.clipboard.text = "3\t4\n";
    QTest::keySequence(table(), QKeySequence::Paste);
    EXPECT_EQ(cell(0, 2) + cell(0, 3) + cell(0, 0), "340*");
    click("PlayersRevertCMD");
    EXPECT_TRUE(cell(0, 2) == "8" && !enabled("PlayersApplyCMD") && changed().empty());
    table()->selectionModel()->select(
        at(1, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    const QStringList lines = copied("PlayersCopyKey").split('\n');
    ASSERT_EQ(lines.size(), 3) << lines.join("~").toStdString();
    EXPECT_TRUE(lines[0].startsWith("#\tName\tSpeed\t") && lines[1].startsWith("1\t"))
        << lines.join("~").toStdString();
}

// "Set Selected..." asks for one value and puts it in every selected cell of one column;
// cells of several columns are refused. The filter keeps names and numbers holding its text,
// and a click on a header sorts.
TEST_F(PlayersTableTest, SetSelectedFillsOneColumnAndTheFilterAndSortingFindRows) {
    table()->selectionModel()->select(QItemSelection(at(3, 10), at(6, 10)),
                                      QItemSelectionModel::ClearAndSelect);
    test::onNextModal([](QWidget* modal) {
        auto* dialog = qobject_cast<QInputDialog*>(modal);
        ASSERT_TRUE(dialog != nullptr && dialog->intMaximum() == 16);
        EXPECT_EQ(dialog->labelText(), "AI of the 4 selected cells:");
        dialog->setIntValue(16);
        dialog->accept();
    });
    click("PlayersSetCMD");
    EXPECT_EQ(cell(2, 0) + cell(3, 10) + cell(6, 10) + cell(6, 0), "216166*");
    table()->selectionModel()->select(QItemSelection(at(3, 10), at(3, 11)),
                                      QItemSelectionModel::ClearAndSelect);
    click("PlayersSetCMD");
    EXPECT_EQ(lastMessage(), "Players Table\nSelect cells of one column only.");

    child<QLineEdit>("PlayersFilterTXT")->setText("16");  // 16, 116, 160 to 168
    EXPECT_EQ(table()->model()->rowCount(), 11);
    EXPECT_EQ(cell(0, 0) + "|" + cell(1, 0) + "|" + cell(10, 0), "16|116|168");
    child<QLineEdit>("PlayersFilterTXT")->setText("secret");
    EXPECT_EQ(cell(0, 0) + cell(0, 1), "166Unused Secret Player");
    child<QLineEdit>("PlayersFilterTXT")->clear();
    table()->horizontalHeader()->setSortIndicator(0, Qt::DescendingOrder);
    EXPECT_EQ(cell(0, 0), "168");
}

// Closing with unapplied changes asks; Cancel keeps the window, Apply writes. Size and column
// widths are remembered. A write made elsewhere shows at once and keeps the unapplied changes;
// the window closes with the image.
TEST_F(PlayersTableTest, ClosingAsksFollowingTheSessionAndRememberingTheLayout) {
    paste(0, 4, "3\n");
    fake_.messages.choices = {MessageBoxes::Choice::Cancel, MessageBoxes::Choice::Apply};
    window_->close();
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(fake_.messages.questions.at(0).text, "Apply the changes to 1 player?");
    table()->setColumnWidth(1, 150);
    window_->resize(700, 400);
    window_->close();
    EXPECT_FALSE(window_->isVisible());
    expectWritten({{actual(0) + 8, 3}, {visual(0) + 4, 3}});
    EXPECT_EQ(fake_.settings.values["Players Table Size"], "700x400");
    EXPECT_TRUE(fake_.settings.values["Players Table Columns"].contains(",150,"));
    openWindow();
    EXPECT_EQ(table()->columnWidth(1), 150);
    EXPECT_EQ(window_->size(), QSize(700, 400));

    paste(1, 5, "7\n");
    PlayerEdit elsewhere;  // player 0
    elsewhere.ratings[2] = 6;
    ASSERT_TRUE(session_.apply(savePlayers("Apply to Player 0", {elsewhere})));
    EXPECT_EQ(cell(0, 4) + cell(1, 5) + cell(1, 0), "671*");
    fake_.messages.answers = {false};
    session_.close();
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(fake_.messages.questions.back().text, "Apply the changes to 1 player?");
}

}  // namespace
}  // namespace slamwise
