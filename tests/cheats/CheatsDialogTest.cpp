#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "cheats/CheatsDialog.h"
#include "rom/FaultInjection.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/ImageBuilder.h"
#include "tests/widgets/ShownTexts.h"

namespace slamwise {
namespace {

using test::Image;

constexpr std::uint32_t kByte1 = 0x179C4;
constexpr std::uint32_t kByte2 = 0x179C5;

class CheatsDialogTest : public ::testing::Test {
  protected:
    // Writes the image with the two cheat bytes and opens a fresh window on it.
    void openWith(std::uint8_t first, std::uint8_t second) {
        image_.at(kByte1) = first;
        image_.at(kByte2) = second;
        dialog_.reset();
        opened_.reset();
        path_ = image_.writeTo(dir_.file("cheats.sfc"));
        Result<OpenedImage> opened = OpenedImage::open(path_, RomFile::Access::ReadWrite);
        ASSERT_TRUE(opened) << opened.error();
        opened_ = std::make_unique<OpenedImage>(std::move(opened).value());
        reopen();
    }
    void reopen() {
        dialog_ = std::make_unique<CheatsDialog>(*opened_, fake_.platform());
        dialog_->show();
    }

    QListWidget* list(int number) {
        return dialog_->findChild<QListWidget*>(number == 1 ? "Cheat1LST" : "Cheat2LST");
    }
    // The byte the ticks of a list stand for: entry i is bit i.
    int shown(int number) {
        int byte = 0;
        for (int i = 0; i < 8; ++i) {
            byte |= list(number)->item(i)->checkState() == Qt::Checked ? 1 << i : 0;
        }
        return byte;
    }
    void click(const char* name) { dialog_->findChild<QPushButton*>(name)->click(); }
    std::vector<std::uint32_t> changed() {
        return test::changedOffsets(image_.bytes(), test::readFile(path_));
    }
    std::uint8_t fileByte(std::uint32_t offset) { return test::readFile(path_).at(offset); }

    Image image_;
    test::TempDir dir_;
    std::string path_;
    test::FakePlatform fake_;
    std::unique_ptr<OpenedImage> opened_;
    std::unique_ptr<CheatsDialog> dialog_;
};

// A failed save, then a failed read, which is told under the caption the window gets and
// leaves Apply disabled.
TEST_F(CheatsDialogTest, ShowsItsTexts) {
    openWith(0x81, 0x00);
    std::map<QString, QString> collected = {{"Cheats", dialog_->windowTitle()}};
    FaultPlan plan;
    plan.persistent = true;
    {
        ScopedFaultPlan failing(plan);
        click("ApplyCMD");
        dialog_ = std::make_unique<CheatsDialog>(*opened_, fake_.platform());
    }
    dialog_->setWindowTitle("Caption of the image");
    dialog_->show();
    QTest::qWait(0);
    ASSERT_EQ(fake_.messages.shown.size(), 2u);
    collected["save failure"] = fake_.messages.shown[0].text;
    collected["read failure"] = test::messageText(fake_.messages.shown[1]);
    EXPECT_FALSE(dialog_->findChild<QPushButton*>("ApplyCMD")->isEnabled());
    // clang-format off
    test::expectTexts(dialog_.get(), {
        {"Cheats", "Enable Cheat Codes"}, {"Label1", "Select Cheat Codes:"}, {"Frame3", "Information:"},
        {"Frame2", "Cheat definitions:"}, {"ApplyCMD", "Apply"}, {"QuitCMD", "Cancel"},
        {"Label18", "*-When activated this code does not confirm before tip-off."},
        {"InfoLBL", "There are a few other cheat codes that are undocumented that are not added as of yet.  "},
        {"Cheat1LST#0", "Powerup Push"}, {"Cheat1LST#1", "Powerup 3pt"}, {"Cheat1LST#2", "Powerup Turbo"},
        {"Cheat1LST#3", "Powerup Fire"}, {"Cheat1LST#4", "Powerup Dunks"}, {"Cheat1LST#5", "Max Power"},
        {"Cheat1LST#6", "Powerup G.T."}, {"Cheat1LST#7", "Quick Hands"}, {"Cheat2LST#0", "Powerup Off"},
        {"Cheat2LST#1", "Speed Mode*"}, {"Cheat2LST#2", "Push Opponent 1*"}, {"Cheat2LST#3", "Unknown 1*"},
        {"Cheat2LST#4", "Push Opponent 2*"}, {"Cheat2LST#5", "Rainbow Arc*"}, {"Cheat2LST#6", "Unknown 2*"},
        {"Cheat2LST#7", "Unknown 3*"},
        {"Label2", "Powerup Push: This code makes it so when you push a player down they fly far away.  "
                   "Also gives you a \"9\" rating on blocks."},
        {"Label3", "Powerup 3pt: Gives you a \"9\" rating for 3 point shot attempts."},
        {"Label4", "Powerup Turbo: Gives your player infinite turbo."},
        {"Label5", "Powerup Fire: Gives your player the \"Fire\" attribute permanently from the start of the game."},
        {"Label6", "Powerup Dunks: Gives your player the ability to dunk from anywhere on the court.  Also "
                   "gives you a \"9\" rating on dunks."},
        {"Label7", "Max Power: Makes it so you are difficulty to knock down, have the ball stolen or your "
                   "shot blocked."},
        {"Label8", "Powerup G.T.: This powerup allows to to goal tend your opponent's shots without penalty."},
        {"Label9", "Quick Hands: Gives you a rating of \"9\" on steals."},
        {"Label10", "Powerup Off: This increases your player's offensive ability by increasing their shooting %."},
        {"Label11", "Speed Mode: This increases your player's speed significantly."},
        {"Label12", "Push Opponent 1: When you push an opponent they both fall down."},
        {"Label13", "Unknown 1: Unknown effect(s) / Nothing?"},
        {"Label14", "Push Opponent 2: When you push an opponent your teamate falls down as well."},
        {"Label15", "Rainbow Arc: When you shoot the ball it will have a high arc to the basket."},
        {"Label16", "Unknown 2: Unknown effect(s) / Nothing?"}, {"Label17", "Unknown 3: Unknown effect(s) / Nothing?"},
        {"read failure", "Caption of the image\nThe cheat codes could not be read."},
        {"save failure", "The cheat codes could not be saved."}}, collected);
    // clang-format on
}

// Opening ticks the set bits; Apply without a change, and Cancel, leave both bytes alone; a
// window opened again shows the file.
TEST_F(CheatsDialogTest, TicksFollowTheBytes) {
    for (auto [first, second] : {std::pair{0x00, 0x00}, {0xFF, 0xFF}, {0x5A, 0xC3}}) {
        openWith(first, second);
        EXPECT_EQ(shown(1), first);
        EXPECT_EQ(shown(2), second);
        EXPECT_EQ(list(1)->currentRow(), 0);
        EXPECT_EQ(list(2)->currentRow(), 0);
        click("ApplyCMD");
        list(1)->item(0)->setCheckState(Qt::Checked);
        list(2)->item(0)->setCheckState(Qt::Unchecked);
        click("QuitCMD");
        EXPECT_FALSE(dialog_->isVisible());
        EXPECT_TRUE(changed().empty());
        reopen();
        EXPECT_EQ(shown(1), first);
        EXPECT_EQ(shown(2), second);
    }
    EXPECT_TRUE(fake_.messages.shown.empty());
}

TEST_F(CheatsDialogTest, ApplyWritesTheTicks) {
    struct Case {
        std::vector<int> ticks1, ticks2;
        std::uint8_t byte1, byte2;
    };
    const Case cases[] = {{{0, 7}, {}, 0x81, 0x00},  // "Powerup Push", "Quick Hands"
                          {{}, {0}, 0x00, 0x01},     // "Powerup Off"
                          {{}, {7}, 0x00, 0x80},     // "Unknown 3*"
                          {{1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6}, 0x7E, 0x7E}};
    for (const Case& c : cases) {
        openWith(0x00, 0x00);
        for (int entry : c.ticks1)
            list(1)->item(entry)->setCheckState(Qt::Checked);
        for (int entry : c.ticks2)
            list(2)->item(entry)->setCheckState(Qt::Checked);
        click("ApplyCMD");
        EXPECT_EQ(fileByte(kByte1), c.byte1);
        EXPECT_EQ(fileByte(kByte2), c.byte2);
        for (std::uint32_t offset : changed()) {
            EXPECT_TRUE(offset == kByte1 || offset == kByte2) << offset;
        }
        EXPECT_TRUE(dialog_->isVisible());
    }
    EXPECT_TRUE(fake_.messages.shown.empty());
}

}  // namespace
}  // namespace slamwise
