// A failing disk in the middle of a window's action: the user is told, the program goes on,
// and the image is as it was.
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include "app/MainWindow.h"
#include "rom/FaultInjection.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/ImageBuilder.h"

namespace slamwise {
namespace {

using test::Image;
using test::readFile;

TEST(WindowFaults, EveryFailingOperationOfAnApplyIsReportedAndUndone) {
    test::TempDir dir;
    std::string path = Image().writeTo(dir.path() / "game.sfc");
    test::FakePlatform fake;
    MainWindow window(fake.platform(), "/opt/editor");
    fake.files.answers.push_back(QString::fromStdString(path));
    window.Form_Load();
    ASSERT_TRUE(window.romOpen());
    for (const char* name : {"SPEEDTXT", "THREETXT", "DUNKTXT", "PASSTXT", "POWERTXT", "STEALTXT",
                             "BLOCKTXT", "DIRKTXT"}) {
        auto* box = window.findChild<QLineEdit*>(name);
        box->clear();
        QTest::keyClicks(box, "6");
    }
    auto* apply = window.findChild<QAbstractButton*>("ApplyCMD");
    const std::vector<std::uint8_t> original = readFile(path);
    std::vector<std::uint8_t> before = original;

    for (long at = 1;; ++at) {
        fake.messages.shown.clear();
        FaultPlan plan;
        plan.at = at;
        plan.error = ENOSPC;
        {
            ScopedFaultPlan scoped(plan);
            apply->click();
        }
        if (!plan.fired) {
            ASSERT_TRUE(fake.messages.shown.empty());  // no fault left to inject: it went through
            EXPECT_NE(readFile(path), original);
            break;
        }
        // A fault in the very last step (tidying up after the change) may still be a success.
        if (fake.messages.shown.empty()) {
            before = readFile(path);
            continue;
        }
        ASSERT_EQ(fake.messages.shown.size(), 1u) << "operation " << at;
        EXPECT_EQ(fake.messages.shown[0].icon, MessageBoxes::Icon::Critical);
        EXPECT_TRUE(fake.messages.shown[0].details.contains("No space left on device"))
            << fake.messages.shown[0].details.toStdString();
        EXPECT_EQ(readFile(path), before) << "operation " << at;
        ASSERT_TRUE(window.romOpen());
    }
    window.close();
}

}  // namespace
}  // namespace slamwise
