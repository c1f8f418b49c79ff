#include <gtest/gtest.h>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "cheats/CheatBytes.h"
#include "cheats/CheatsDialog.h"
#include "rom/FaultInjection.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/ImageBuilder.h"

namespace slamwise {
namespace {

using test::changedOffsets;
using test::FakePlatform;
using test::Image;
using test::readFile;
using test::TempDir;

class CheatsDialogTest : public ::testing::Test {
  protected:
    // Writes the image with the two cheat bytes and opens a fresh window on it.
    void openWith(std::uint8_t first, std::uint8_t second) {
        image_.at(kCheatByte1) = first;
        image_.at(kCheatByte2) = second;
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
    // The byte that the ticks of a list stand for.
    std::uint8_t shown(int number) {
        CheatList on{};
        for (int i = 0; i < kCheatsPerByte; ++i) {
            on[static_cast<std::size_t>(i)] = list(number)->item(i)->checkState() == Qt::Checked;
        }
        return packCheatList(on);
    }
    void tick(int number, int entry, bool on) {
        list(number)->item(entry)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    void apply() { dialog_->findChild<QPushButton*>("ApplyCMD")->click(); }
    std::vector<std::uint8_t> file() { return readFile(path_); }
    std::vector<std::uint32_t> changed() { return changedOffsets(image_.bytes(), file()); }

    Image image_;
    TempDir dir_;
    std::string path_;
    FakePlatform fake_;
    std::unique_ptr<OpenedImage> opened_;
    std::unique_ptr<CheatsDialog> dialog_;
};

TEST_F(CheatsDialogTest, ShowsItsTexts) {
    openWith(0, 0);
    EXPECT_EQ(dialog_->objectName(), "Cheats");
    EXPECT_EQ(dialog_->windowTitle(), "Enable Cheat Codes");
    for (int n = 1; n <= 2; ++n) {
        ASSERT_EQ(list(n)->count(), 8);
        for (int i = 0; i < 8; ++i) {
            auto expected = (n == 1 ? kCheat1Entries : kCheat2Entries)[static_cast<std::size_t>(i)];
            EXPECT_EQ(list(n)->item(i)->text().toStdString(), expected);
        }
    }
    for (int i = 0; i < 16; ++i) {
        auto* label = dialog_->findChild<QLabel*>(QStringLiteral("Label%1").arg(i + 2));
        ASSERT_NE(label, nullptr) << i;
        EXPECT_EQ(label->text().toStdString(), kCheatDefinitions[static_cast<std::size_t>(i)]);
    }
    EXPECT_EQ(dialog_->findChild<QLabel*>("Label18")->text(),
              "*-When activated this code does not confirm before tip-off.");
    EXPECT_EQ(dialog_->findChild<QLabel*>("InfoLBL")->text(),
              "There are a few other cheat codes that are undocumented that are not added as of "
              "yet.  ");
}

TEST_F(CheatsDialogTest, TicksFollowTheBytes) {
    openWith(0x00, 0x00);
    EXPECT_EQ(shown(1), 0x00);
    EXPECT_EQ(shown(2), 0x00);
    EXPECT_EQ(list(1)->currentRow(), 0);
    EXPECT_EQ(list(2)->currentRow(), 0);

    openWith(0xFF, 0xFF);
    EXPECT_EQ(shown(1), 0xFF);
    EXPECT_EQ(shown(2), 0xFF);
    EXPECT_TRUE(changed().empty());
}

TEST_F(CheatsDialogTest, ApplyWritesTheTicks) {
    openWith(0x00, 0x00);
    tick(1, 0, true);  // "Powerup Push"
    tick(1, 7, true);  // "Quick Hands"
    apply();
    EXPECT_EQ(changed(), (std::vector<std::uint32_t>{kCheatByte1}));
    EXPECT_EQ(file()[kCheatByte1], 0x81);

    tick(2, 0, true);  // "Powerup Off"
    apply();
    EXPECT_EQ(file()[kCheatByte2], 0x01);
    tick(2, 0, false);
    tick(2, 7, true);  // "Unknown 3*"
    apply();
    EXPECT_EQ(file()[kCheatByte2], 0x80);
    EXPECT_EQ(changed(), (std::vector<std::uint32_t>{kCheatByte1, kCheatByte2}));
    EXPECT_TRUE(fake_.messages.shown.empty());
}

TEST_F(CheatsDialogTest, ApplyWithoutChangeWritesTheSameBytes) {
    openWith(0x5A, 0xC3);
    EXPECT_EQ(shown(1), 0x5A);
    EXPECT_EQ(shown(2), 0xC3);
    apply();
    EXPECT_TRUE(changed().empty());
    EXPECT_TRUE(fake_.messages.shown.empty());
}

TEST_F(CheatsDialogTest, CancelWritesNothingAndReopeningShowsTheFile) {
    openWith(0x5A, 0xC3);
    tick(1, 0, true);
    tick(2, 0, false);
    dialog_->findChild<QPushButton*>("QuitCMD")->click();
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_TRUE(changed().empty());

    reopen();
    EXPECT_EQ(shown(1), 0x5A);
    EXPECT_EQ(shown(2), 0xC3);
}

TEST_F(CheatsDialogTest, AFailedReadIsToldUnderTheCaptionTheWindowGets) {
    openWith(0x81, 0x00);
    FaultPlan plan;
    plan.persistent = true;
    {
        ScopedFaultPlan failing(plan);
        dialog_ = std::make_unique<CheatsDialog>(*opened_, fake_.platform());
    }
    dialog_->setWindowTitle("Caption of the image");
    dialog_->show();
    QTest::qWait(0);
    ASSERT_EQ(fake_.messages.shown.size(), 1u);
    EXPECT_EQ(fake_.messages.shown[0].title, "Caption of the image");
    EXPECT_FALSE(dialog_->findChild<QPushButton*>("ApplyCMD")->isEnabled());
}

}  // namespace
}  // namespace slamwise
