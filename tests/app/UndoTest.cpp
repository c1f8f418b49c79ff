// Edit > Undo and Redo in the main window, and the undo keys of the modal windows.
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <memory>

#include "app/MainWindow.h"
#include "cheats/CheatsDialog.h"
#include "roster/RosterEditor.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/ImageBuilder.h"

namespace slamwise {
namespace {

using test::readFile;

class UndoTest : public ::testing::Test {
  protected:
    QAction* action(const char* name) { return window_->findChild<QAction*>(name); }
    QString caption(const char* name) { return action(name)->text(); }
    template <class T>
    T* child(QWidget* parent, const char* name) {
        T* found = parent->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    test::TempDir dir_;
    test::FakePlatform fake_;
    std::string path_ = test::Image().writeTo(dir_.file("game.sfc"));
    std::vector<std::uint8_t> before_ = readFile(path_);
    std::unique_ptr<MainWindow> window_;
};

TEST_F(UndoTest, EditMenuUndoesAndRedoesAPlayerApplyAndATextBoxKeepsItsOwnUndo) {
    window_ = std::make_unique<MainWindow>(fake_.platform(), "/opt/editor");
    EXPECT_EQ(window_->findChild<QMenu*>("mnuEdit")->title(), "&Edit");
    EXPECT_EQ(action("mnuUndo")->shortcut(), QKeySequence(QKeySequence::Undo));
    EXPECT_EQ(action("mnuRedo")->shortcut(), QKeySequence(QKeySequence::Redo));
    fake_.files.answers.push_back(QString::fromStdString(path_));
    window_->Form_Load();
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));

    auto* players = child<QListWidget>(window_.get(), "PlayerLST");
    players->setCurrentRow(37);
    for (const char* name : {"SPEEDTXT", "THREETXT"}) {  // out of range in the test image
        child<QLineEdit>(window_.get(), name)->setText("5");
    }
    auto* dunk = child<QLineEdit>(window_.get(), "DUNKTXT");
    const QString old = dunk->text();
    dunk->setFocus();
    dunk->selectAll();
    QTest::keyClicks(dunk, old == "3" ? "4" : "3");
    const QString typed = dunk->text();
    child<QPushButton>(window_.get(), "ApplyCMD")->click();
    const std::vector<std::uint8_t> after = readFile(path_);
    ASSERT_NE(after, before_);
    EXPECT_EQ(caption("mnuUndo"), "Undo Apply to Player 037");
    EXPECT_FALSE(action("mnuRedo")->isEnabled());

    // In the box, the key undoes the typing; the file stays as applied.
    dunk->setFocus();
    dunk->selectAll();
    QTest::keyClicks(dunk, "9");
    QTest::keyClick(dunk, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(dunk->text(), typed);
    EXPECT_EQ(readFile(path_), after);

    players->setFocus();
    QTest::keyClick(players, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(readFile(path_), before_);
    EXPECT_EQ(dunk->text(), old);
    EXPECT_EQ(caption("mnuUndo"), "Undo");
    EXPECT_EQ(caption("mnuRedo"), "Redo Apply to Player 037");
    action("mnuRedo")->trigger();
    EXPECT_EQ(readFile(path_), after);
    EXPECT_EQ(dunk->text(), typed);

    action("mnuClose")->trigger();
    EXPECT_FALSE(action("mnuUndo")->isEnabled());
    EXPECT_EQ(caption("mnuUndo"), "Undo");
}

TEST_F(UndoTest, TheModalWindowsUndoAndRedoTheirOwnChangesWithTheKeys) {
    Result<OpenedImage> opened = OpenedImage::open(path_, RomFile::Access::ReadWrite);
    ASSERT_TRUE(opened);
    struct Case {
        std::function<std::unique_ptr<QDialog>()> make;
        std::function<void(QDialog*)> select;
        std::function<void(QDialog*)> act;
        std::function<int(QDialog*)> shown;  // the value the window shows for what it changed
        Qt::KeyboardModifiers redo;
    };
    const std::vector<Case> cases = {
        {[&] { return std::make_unique<RosterEditor>(*opened, fake_.platform(), defaultNames()); },
         [&](QDialog* d) {
             child<QListWidget>(d, "TeamLST")->setCurrentRow(2);
             child<QListWidget>(d, "SlotLST")->setCurrentRow(1);
         },
         [&](QDialog* d) {
             fake_.messages.answers.push_back(true);
             child<QPushButton>(d, "LastPlayerCMD")->click();
         },
         [&](QDialog* d) { return child<QComboBox>(d, "POS1CBO")->currentIndex(); },
         Qt::ControlModifier | Qt::ShiftModifier},
        {[&] { return std::make_unique<CheatsDialog>(*opened, fake_.platform()); }, [](QDialog*) {},
         [&](QDialog* d) {
             QListWidgetItem* item = child<QListWidget>(d, "Cheat1LST")->item(2);
             item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
             child<QPushButton>(d, "ApplyCMD")->click();
         },
         [&](QDialog* d) { return int{child<QListWidget>(d, "Cheat1LST")->item(2)->checkState()}; },
         Qt::ControlModifier},
    };
    for (const Case& c : cases) {
        // A change made before the window opened is out of its reach.
        const std::vector<std::uint8_t> start = readFile(path_);
        std::unique_ptr<QDialog> dialog = c.make();
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        QTest::keyClick(dialog.get(), Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(readFile(path_), start);

        c.select(dialog.get());
        const int old = c.shown(dialog.get());
        c.act(dialog.get());
        const std::vector<std::uint8_t> after = readFile(path_);
        const int changed = c.shown(dialog.get());
        ASSERT_NE(after, start);
        ASSERT_NE(changed, old);
        QTest::keyClick(dialog.get(), Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(readFile(path_), start);
        EXPECT_EQ(c.shown(dialog.get()), old);
        QTest::keyClick(dialog.get(), c.redo == Qt::ControlModifier ? Qt::Key_Y : Qt::Key_Z,
                        c.redo);
        EXPECT_EQ(readFile(path_), after);
        EXPECT_EQ(c.shown(dialog.get()), changed);
    }
    EXPECT_TRUE(fake_.messages.shown.empty());
}

}  // namespace
}  // namespace slamwise
