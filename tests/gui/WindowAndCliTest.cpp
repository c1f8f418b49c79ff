// The same edit made in the window and through "slamwise players import" gives the same file.
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QTest>

#include "app/MainWindow.h"
#include "tests/support/CliRunner.h"
#include "tests/support/FakePlatform.h"

namespace slamwise {
namespace {

using test::Image;
using test::ImageSpec;
using test::readFile;

struct Case {
    int player;
    bool relocated;
};

class WindowAndCli : public ::testing::TestWithParam<Case> {};

TEST_P(WindowAndCli, SameEditGivesTheSameBytes) {
    const Case c = GetParam();
    test::TempDir dir;
    Image image(ImageSpec{Release::Japan, 2 * 1024 * 1024, false, 21});
    std::string byWindow = image.writeTo(dir.path() / "window.sfc");
    std::string byCli = image.writeTo(dir.path() / "cli.sfc");

    test::FakePlatform fake;
    MainWindow window(fake.platform(), "/opt/editor");
    fake.files.answers.push_back(QString::fromStdString(byWindow));
    window.Form_Load();
    ASSERT_TRUE(window.romOpen());
    if (c.relocated) {
        window.findChild<QAbstractButton*>("RelocateVisualCMD")->click();
        ASSERT_EQ(test::runCli({"relocate", byCli}).code, 0);
    }
    window.findChild<QListWidget*>("PlayerLST")->setCurrentRow(c.player);
    const std::vector<std::pair<const char*, const char*>> ratings = {
        {"SPEEDTXT", "7"}, {"THREETXT", "3"}, {"DUNKTXT", "10"}, {"PASSTXT", "0"},
        {"POWERTXT", "5"}, {"STEALTXT", "2"}, {"BLOCKTXT", "9"}, {"DIRKTXT", "4"}};
    for (const auto& [name, value] : ratings) {
        auto* box = window.findChild<QLineEdit*>(name);
        box->clear();
        QTest::keyClicks(box, value);
    }
    window.findChild<QSlider*>("AISLDR")->setValue(14);
    window.findChild<QAbstractButton*>("ShortOPT")->click();
    window.findChild<QAbstractButton*>("WhiteOPT")->click();
    window.findChild<QAbstractButton*>("ApplyCMD")->click();
    ASSERT_TRUE(fake.messages.shown.empty());

    test::writeText(dir.file("players.csv"),
                    "index,speed,three_point,dunk,pass,power,steal,block,clutch,ai,height,skin\n" +
                        std::to_string(c.player) + ",7,3,10,0,5,2,9,4,14,small,white\n");
    test::CliRun run = test::runCli({"players", "import", byCli, dir.file("players.csv")});
    ASSERT_EQ(run.code, 0) << run.err;

    window.close();
    EXPECT_EQ(readFile(byWindow), readFile(byCli));
    EXPECT_NE(readFile(byWindow), image.bytes());
}

INSTANTIATE_TEST_SUITE_P(Players, WindowAndCli,
                         ::testing::Values(Case{0, false}, Case{127, false}, Case{140, false},
                                           Case{140, true}, Case{168, true}),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             return "Player" + std::to_string(info.param.player) +
                                    (info.param.relocated ? "Relocated" : "Standard");
                         });

}  // namespace
}  // namespace slamwise
