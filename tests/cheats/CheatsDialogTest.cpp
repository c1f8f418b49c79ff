#include "cheats/CheatsDialog.h"
#include "tests/widgets/ShownTexts.h"

namespace slamwise {
namespace {

constexpr std::uint32_t kByte1 = 0x179C4, kByte2 = 0x179C5;

class CheatsDialogTest : public test::WindowTest<CheatsDialog> {
  protected:
    // Opens a fresh window on the file, written first with the two cheat bytes when given.
    void open(int first = -1, int second = 0) {
        if (first >= 0) {
            image_.at(kByte1) = static_cast<std::uint8_t>(first);
            image_.at(kByte2) = static_cast<std::uint8_t>(second);
            ASSERT_NO_FATAL_FAILURE(openImage());
        }
        window_ = std::make_unique<CheatsDialog>(*opened_, fake_.platform());
        window_->show();
    }
    QListWidget* list(int number) {
        return child<QListWidget>(number == 1 ? "Cheat1LST" : "Cheat2LST");
    }
    // The byte the ticks of a list stand for: entry i is bit i.
    int ticks(int number) {
        int byte = 0;
        for (int i = 0; i < 8; ++i)
            byte |= list(number)->item(i)->checkState() == Qt::Checked ? 1 << i : 0;
        return byte;
    }
};

// A failed save, then a failed read, which is told under the caption the window gets and
// leaves Apply disabled.
TEST_F(CheatsDialogTest, ShowsItsTexts) {
    open(0x81, 0x00);
    collected_["Cheats"] = window_->windowTitle();
    collected_["save failure"] = failing([&] { click("ApplyCMD"); });
    failing([&] { window_ = std::make_unique<CheatsDialog>(*opened_, fake_.platform()); });
    window_->setWindowTitle("Caption of the image");
    window_->show();
    QTest::qWait(0);
    collected_["read failure"] = lastMessage();
    EXPECT_TRUE(fake_.messages.shown.size() == 2 && !enabled("ApplyCMD"));
    const std::string unknown = ": Unknown effect(s) / Nothing?";
    // clang-format off
    expectTexts({
        {"Cheats", "Enable Cheat Codes"}, {"Label1", "Select Cheat Codes:"}, {"ApplyCMD", "Apply"},
        {"Frame3", "Information:"}, {"Frame2", "Cheat definitions:"}, {"QuitCMD", "Cancel"},
        {"Label18", "*-When activated this code does not confirm before tip-off."},
        {"Cheat1LST#0", "Powerup Push"}, {"Cheat1LST#1", "Powerup 3pt"},
        {"Cheat1LST#2", "Powerup Turbo"}, {"Cheat1LST#3", "Powerup Fire"},
        {"Cheat1LST#4", "Powerup Dunks"}, {"Cheat1LST#5", "Max Power"},
        {"Cheat1LST#6", "Powerup G.T."}, {"Cheat1LST#7", "Quick Hands"},
        {"Cheat2LST#0", "Powerup Off"}, {"Cheat2LST#1", "Speed Mode*"},
        {"Cheat2LST#2", "Push Opponent 1*"}, {"Cheat2LST#3", "Unknown 1*"},
        {"Cheat2LST#4", "Push Opponent 2*"}, {"Cheat2LST#5", "Rainbow Arc*"},
        {"Cheat2LST#6", "Unknown 2*"}, {"Cheat2LST#7", "Unknown 3*"},
        {"Label3", "Powerup 3pt: Gives you a \"9\" rating for 3 point shot attempts."},
        {"Label4", "Powerup Turbo: Gives your player infinite turbo."},
        {"Label9", "Quick Hands: Gives you a rating of \"9\" on steals."},
        {"Label11", "Speed Mode: This increases your player's speed significantly."},
        {"Label12", "Push Opponent 1: When you push an opponent they both fall down."},
        {"Label13", "Unknown 1" + unknown}, {"Label16", "Unknown 2" + unknown},
        {"Label17", "Unknown 3" + unknown},
        {"save failure", "Enable Cheat Codes\nThe cheat codes could not be saved."},
        {"Label14", "Push Opponent 2: When you push an opponent your teamate falls down as well."},
        {"Label15", "Rainbow Arc: When you shoot the ball it will have a high arc to the basket."},
        {"read failure", "Caption of the image\nThe cheat codes could not be read."},
        {"InfoLBL", "There are a few other cheat codes that are undocumented that are not added as "
         "of yet.  "},
        {"Label2", "Powerup Push: This code makes it so when you push a player down they fly far "
         "away.  Also gives you a \"9\" rating on blocks."},
        {"Label5", "Powerup Fire: Gives your player the \"Fire\" attribute permanently from the "
         "start of the game."},
        {"Label6", "Powerup Dunks: Gives your player the ability to dunk from anywhere on the "
         "court.  Also gives you a \"9\" rating on dunks."},
        {"Label7", "Max Power: Makes it so you are difficulty to knock down, have the ball stolen "
         "or your shot blocked."},
        {"Label8", "Powerup G.T.: This powerup allows to to goal tend your opponent's shots "
         "without penalty."},
        {"Label10", "Powerup Off: This increases your player's offensive ability by increasing "
         "their shooting %."}});
}

// Opening ticks the set bits; Apply writes the ticks (here flipped) into both bytes and
// nothing else; a window opened again shows the file; Cancel writes nothing.
TEST_F(CheatsDialogTest, TicksFollowTheBytesAndApplyWritesThem) {
    const int cases[][6] = {  // bytes, ticks flipped, bytes written
        {0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, {0x5A, 0xC3, 0x00, 0x00, 0x5A, 0xC3},
        {0x00, 0x00, 0x81, 0x00, 0x81, 0x00},  // "Powerup Push", "Quick Hands"
        {0x00, 0x00, 0x00, 0x01, 0x00, 0x01},  // "Powerup Off"
        {0x00, 0x00, 0x00, 0x80, 0x00, 0x80},  // "Unknown 3*"
        {0x00, 0x00, 0x7E, 0x7E, 0x7E, 0x7E}, {0xFF, 0xFF, 0x01, 0x80, 0xFE, 0x7F}};
    for (const auto& c : cases) {
        open(c[0], c[1]);
        EXPECT_TRUE(ticks(1) == c[0] && ticks(2) == c[1]) << c[0];
        EXPECT_TRUE(list(1)->currentRow() == 0 && list(2)->currentRow() == 0);
        for (int bit = 0; bit < 16; ++bit) {
            QListWidgetItem* item = list(1 + bit / 8)->item(bit % 8);
            if (c[2 + bit / 8] & 1 << bit % 8)
                item->setCheckState(item->checkState() ? Qt::Unchecked : Qt::Checked);
        }
        click("ApplyCMD");
        expectWritten({{kByte1, c[4]}, {kByte2, c[5]}}, c[0]);
        EXPECT_TRUE(window_->isVisible());
        open();
        EXPECT_TRUE(ticks(1) == c[4] && ticks(2) == c[5]) << c[0];
    }
    const std::vector<std::uint8_t> before = file();
    list(1)->item(3)->setCheckState(Qt::Unchecked);
    list(2)->item(7)->setCheckState(Qt::Checked);
    click("QuitCMD");
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(file(), before);
    EXPECT_TRUE(fake_.messages.shown.empty());
}

}  // namespace
}  // namespace slamwise
