// The two league windows as the main window opens them: when the Stuff entries are enabled, one
// window each however often they are chosen, and closed with the image.
#include "app/MainWindow.h"
#include "tests/support/WindowTest.h"

namespace slamwise {
namespace {

class LeagueActionsTest : public ::testing::Test {
  protected:
    QAction* entry(const char* name) { return window.findChild<QAction*>(name); }
    QString states() {
        return QString(entry("mnuPlayersTable")->isEnabled() ? "1" : "0") +
               (entry("mnuAllRosters")->isEnabled() ? "1" : "0");
    }
    void open(Release release) {
        test::ImageOptions options;
        options.release = release;
        const std::string path = test::Image(options).writeTo(dir.file("image.sfc"));
        window.Form_Load(QString::fromStdString(path));
    }
    int windows(const char* name) {
        int count = 0;
        for (QWidget* top : QApplication::topLevelWidgets())
            count += top->objectName() == name && top->isVisible() ? 1 : 0;
        return count;
    }

    test::TempDir dir;
    test::FakePlatform fake;
    MainWindow window{fake.platform(), "/opt/x"};
};

TEST_F(LeagueActionsTest, TheEntriesFollowTheImageAndOpenOneWindowEach) {
    EXPECT_EQ(states(), "00");
    open(Release::Europe);  // rosters only
    EXPECT_EQ(states(), "01");
    entry("mnuPlayersTable")->trigger();
    EXPECT_EQ(windows("PlayersTable"), 0);
    window.CloseROM();
    open(Release::NorthAmerica);
    EXPECT_EQ(states(), "11");
    EXPECT_EQ(entry("mnuPlayersTable")->shortcut(), QKeySequence("Ctrl+T"));
    for (int i = 0; i < 2; ++i) {
        entry("mnuPlayersTable")->trigger();
        entry("mnuAllRosters")->trigger();
    }
    EXPECT_TRUE(windows("PlayersTable") == 1 && windows("RostersTable") == 1);
    window.CloseROM();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(windows("PlayersTable") == 0 && windows("RostersTable") == 0);
    EXPECT_TRUE(window.findChildren<QWidget*>("PlayersTable").isEmpty());
    EXPECT_EQ(states(), "00");
}

}  // namespace
}  // namespace slamwise
