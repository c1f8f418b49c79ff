#include <gtest/gtest.h>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "app/MainWindow.h"
#include "tests/support/CliRunner.h"
#include "tests/support/FakePlatform.h"

namespace slamwise {
namespace {

using test::Image;
using test::readFile;

const char* const kRatingBoxes[] = {"SPEEDTXT", "THREETXT", "DUNKTXT",  "PASSTXT",
                                    "POWERTXT", "STEALTXT", "BLOCKTXT", "DIRKTXT"};

// What the command line, tested on its own for the exact bytes, says of the file.
bool checksumValid(const std::string& path) {
    return test::runCli({"checksum", path}).out.find(": valid\n") != std::string::npos;
}

class ChecksumPatchWindow : public ::testing::Test {
  protected:
    void start(const std::string& path) {
        window_ = std::make_unique<MainWindow>(fake_.platform(), "/opt/editor");
        fake_.files.answers.push_back(QString::fromStdString(path));
        window_->Form_Load();
    }
    template <class T>
    T* child(const char* name) {
        T* found = window_->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString checksumShown() { return child<QLabel>("ChecksumLBL")->text(); }
    // Types the ratings of the selected player, power set to `power`, and clicks Apply.
    void applyRatings(const QString& power) {
        const QStringList values = {"7", "3", "1", "4", power, "8", "2", "6"};
        for (int i = 0; i < 8; ++i) {
            child<QLineEdit>(kRatingBoxes[i])->clear();
            QTest::keyClicks(child<QLineEdit>(kRatingBoxes[i]), values[i]);
        }
        child<QPushButton>("ApplyCMD")->click();
    }

    test::TempDir dir_;
    test::FakePlatform fake_;
    std::unique_ptr<MainWindow> window_;
};

TEST_F(ChecksumPatchWindow, ApplyLeavesTheChecksumStaleUnlessTheSettingFixesIt) {
    for (bool autoFix : {false, true}) {
        SCOPED_TRACE(autoFix);
        const std::string path = Image().writeTo(dir_.file("game.sfc"));
        ASSERT_EQ(test::runCli({"checksum", path, "--fix"}).code, 0);
        fake_.settings.values[QStringLiteral("Fix Checksum")] = autoFix ? "1" : "0";
        start(path);
        EXPECT_EQ(checksumShown(), "Checksum valid");
        EXPECT_FALSE(child<QAction>("mnuFixChecksum")->isEnabled());
        EXPECT_EQ(child<QAction>("mnuAutoFixChecksum")->isChecked(), autoFix);

        applyRatings("9");
        EXPECT_EQ(checksumShown(), autoFix ? "Checksum valid" : "Checksum stale");
        EXPECT_EQ(checksumValid(path), autoFix);
        if (!autoFix) {
            ASSERT_TRUE(child<QAction>("mnuFixChecksum")->isEnabled());
            const std::vector<std::uint8_t> before = readFile(path);
            child<QAction>("mnuFixChecksum")->trigger();
            EXPECT_EQ(test::changedOffsets(before, readFile(path)),
                      (std::vector<std::uint32_t>{0x7FDC, 0x7FDD, 0x7FDE, 0x7FDF}));
            EXPECT_TRUE(checksumValid(path));
            EXPECT_EQ(checksumShown(), "Checksum valid");
            EXPECT_FALSE(child<QAction>("mnuFixChecksum")->isEnabled());
        }
        window_.reset();
    }
}

TEST_F(ChecksumPatchWindow, PatchCreatedFromOneImageChangesAnotherAndItsShownValues) {
    const std::string original = Image().writeTo(dir_.file("original.sfc"));
    const std::string edited = Image().writeTo(dir_.file("edited.sfc"));
    const std::string patch = dir_.file("mod.bps");
    start(edited);
    child<QListWidget>("PlayerLST")->setCurrentRow(3);
    const QString power = child<QLineEdit>("POWERTXT")->text() == QStringLiteral("9") ? "8" : "9";
    applyRatings(power);
    ASSERT_NE(readFile(edited), readFile(original));

    fake_.files.answers = {QString::fromStdString(original), QString::fromStdString(patch)};
    child<QAction>("mnuCreatePatch")->trigger();
    ASSERT_TRUE(fake_.files.calls.back().save);
    ASSERT_EQ(fake_.messages.shown.back().icon, MessageBoxes::Icon::Information)
        << fake_.messages.shown.back().details.toStdString();

    child<QAction>("mnuClose")->trigger();
    fake_.files.answers = {QString::fromStdString(original)};
    child<QAction>("mnuOpen")->trigger();
    child<QListWidget>("PlayerLST")->setCurrentRow(3);
    fake_.files.answers = {QString::fromStdString(patch)};
    child<QAction>("mnuApplyPatch")->trigger();
    EXPECT_EQ(readFile(original), readFile(edited));
    EXPECT_EQ(child<QListWidget>("PlayerLST")->currentRow(), 3);
    EXPECT_EQ(child<QLineEdit>("POWERTXT")->text(), power);
}

}  // namespace
}  // namespace slamwise
