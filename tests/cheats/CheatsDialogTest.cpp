#include "cheats/CheatsDialog.h"
#include "tests/support/WindowTest.h"

namespace slamwise {

constexpr std::uint32_t kByte1 = 0x179C4, kByte2 = 0x179C5;

class CheatsDialogTest : public test::WindowTest<CheatsDialog> {
  protected:
    // Writes the image with the two cheat bytes and opens a window on it.
    void open(int first, int second) {
        image_.at(kByte1) = static_cast<std::uint8_t>(first);
        image_.at(kByte2) = static_cast<std::uint8_t>(second);
        ASSERT_NO_FATAL_FAILURE(openImage());
        openWindow();
    }
    // Entry i of the two lists: i from 0 to 7 in the first, 8 to 15 in the second.
    QListWidgetItem* entry(int i) {
        return child<QListWidget>(i < 8 ? "Cheat1LST" : "Cheat2LST")->item(i % 8);
    }
};

// A failed save, then a failed read, which is told under the caption the window gets and
// leaves Apply disabled; every fixed text, the messages among them (the lists' entries are
// pinned with the cheat bytes: here the first and last, that each list has its own).
TEST_F(CheatsDialogTest, ShowsItsTextsAndWritesTheTicks) {
    open(0x81, 0x00);
    collected_["Cheats"] = window_->windowTitle();
    collected_["save failure"] = failing([&] { click("ApplyCMD"); });
    failing([&] { openWindow(); });
    window_->setWindowTitle("Caption of the image");
    QTest::qWait(0);
    collected_["read failure"] = lastMessage();
    EXPECT_TRUE(fake_.messages.shown.size() == 2 && !enabled("ApplyCMD"));
    const std::string unknown = ": Unknown effect(s) / Nothing?";
    // clang-format off
    expectTexts({
        {"InfoLBL", "There are a few other cheat codes that are undocumented that are not added as "
         "of yet.  "}, {"Label11", "Speed Mode: This increases your player's speed significantly."},
        {"Label2", "Powerup Push: This code makes it so when you push a player down they fly far "
         "away.  Also gives you a \"9\" rating on blocks."},
        {"Label5", "Powerup Fire: Gives your player the \"Fire\" attribute permanently from the "
         "start of the game."}, {"Label9", "Quick Hands: Gives you a rating of \"9\" on steals."},
        {"Label6", "Powerup Dunks: Gives your player the ability to dunk from anywhere on the "
         "court.  Also gives you a \"9\" rating on dunks."},
        {"Label7", "Max Power: Makes it so you are difficulty to knock down, have the ball stolen "
         "or your shot blocked."}, {"Label4", "Powerup Turbo: Gives your player infinite turbo."},
        {"Label8", "Powerup G.T.: This powerup allows to to goal tend your opponent's shots "
         "without penalty."}, {"Label13", "Unknown 1" + unknown}, {"Label1", "Select Cheat Codes:"},
        {"Label10", "Powerup Off: This increases your player's offensive ability by increasing "
         "their shooting %."}, {"Label16", "Unknown 2" + unknown}, {"Cheats", "Enable Cheat Codes"},
        {"Label14", "Push Opponent 2: When you push an opponent your teamate falls down as well."},
        {"Label15", "Rainbow Arc: When you shoot the ball it will have a high arc to the basket."},
        {"Label3", "Powerup 3pt: Gives you a \"9\" rating for 3 point shot attempts."},
        {"Label12", "Push Opponent 1: When you push an opponent they both fall down."},
        {"read failure", "Caption of the image\nThe cheat codes could not be read."},
        {"save failure", "Enable Cheat Codes\nThe cheat codes could not be saved."},
        {"Label18", "*-When activated this code does not confirm before tip-off."},
        {"Label17", "Unknown 3" + unknown}, {"Frame2", "Cheat definitions:"}, {"ApplyCMD", "Apply"},
        {"QuitCMD", "Cancel"}, {"Frame3", "Information:"}, {"Cheat1LST#0", "Powerup Push"},
        {"Cheat2LST#7", "Unknown 3*"}});
    // clang-format on
    // Opening ticks the set bits and selects the first entries; Apply writes the ticks (here
    // flipped) into both bytes and nothing else; Cancel writes nothing.
    // clang-format off
    const int cases[][3] = {  // both bytes, the ticks flipped, both bytes written
        {0x0000, 0x0000, 0x0000}, {0x5AC3, 0x0000, 0x5AC3}, {0x0000, 0x7E7E, 0x7E7E},
        {0x0000, 0x8181, 0x8181}, {0xFFFF, 0x0180, 0xFE7F}};
    // clang-format on
    for (const auto& [bytes, flips, written] : cases) {
        open(bytes >> 8, bytes & 0xFF);
        EXPECT_TRUE(entry(0)->isSelected() && entry(8)->isSelected()) << bytes;
        for (int i = 0; i < 16; ++i) {
            const int bit = 1 << (i + 8) % 16;  // entry i is bit i, the first byte high
            EXPECT_EQ(entry(i)->checkState() == Qt::Checked, (bytes & bit) != 0)
                << bytes << " " << i;
            if (flips & bit)
                entry(i)->setCheckState(entry(i)->checkState() ? Qt::Unchecked : Qt::Checked);
        }
        click("ApplyCMD");
        expectWritten({{kByte1, written >> 8}, {kByte2, written & 0xFF}}, bytes);
        EXPECT_TRUE(window_->isVisible());
    }
    EXPECT_EQ(history().undoLabel(), "Cheat Codes");
    // Ctrl+Z takes back the window's last Apply and shows the file again; Ctrl+Shift+Z redoes.
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    QTest::keyClick(window_.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(changed().empty() && entry(0)->checkState() == Qt::Checked);
    QTest::keyClick(window_.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(entry(0)->checkState(), Qt::Unchecked);
    for (int i : {3, 15})
        entry(i)->setCheckState(entry(i)->checkState() ? Qt::Unchecked : Qt::Checked);
    click("QuitCMD");
    EXPECT_FALSE(window_->isVisible());
    expectWritten({{kByte1, 0xFE}, {kByte2, 0x7F}});
}

// The window fits a 1280 by 800 screen with every definition whole, and made smaller, the
// definitions scroll.
TEST_F(CheatsDialogTest, FitsASmallScreen) {
    open(0, 0);
    QApplication::processEvents();
    for (QSize size : {window_->sizeHint(), window_->minimumSizeHint(), window_->size()}) {
        EXPECT_TRUE(size.width() <= 1280 && size.height() <= 800)
            << size.width() << "x" << size.height();
    }
    auto* scroll = child<QScrollArea>("DefinitionsScroll");
    EXPECT_EQ(scroll->verticalScrollBar()->maximum(), 0);
    for (int i = 2; i <= 17; ++i) {
        auto* definition = child<QLabel>(qPrintable(QStringLiteral("Label%1").arg(i)));
        EXPECT_GE(definition->height(), definition->heightForWidth(definition->width())) << i;
    }
    window_->resize(window_->minimumSize());
    QApplication::processEvents();
    EXPECT_GT(scroll->verticalScrollBar()->maximum(), 0);
}

}  // namespace slamwise
