#include "app/MainWindow.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QStatusBar>
#include <QTimer>

#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "tests/support/FakePlatform.h"
#include "tests/support/ImageBuilder.h"
#include "tests/support/Unprivileged.h"

namespace slamwise {
namespace {

using test::Image;
using test::ImageOptions;
using test::readFile;
using test::TempDir;
using Icon = MessageBoxes::Icon;

const QString kCancelled = QStringLiteral("So you want to load a ROM or what?");
const QString kMissing = QStringLiteral(
    "The ROM you're trying to load was deleted, renamed, or moved and cannot be loaded.");
const QString kTitle = QStringLiteral("SLAMWISE TEST IMAGE  ");

QString captionFor(const QString& title, const QString& ending) {
    return QStringLiteral("Slamwise Player Editor (v0.36) - ''") + title + ending;
}

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override { window = std::make_unique<MainWindow>(fake.platform(), "/opt/editor"); }

    QAction* action(const char* name) const {
        auto* found = window->findChild<QAction*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    bool enabled(const char* name) const { return action(name)->isEnabled(); }

    QString makeImage(const std::string& name, ImageOptions options = {}) const {
        return QString::fromStdString(Image(options).writeTo(dir.path() / name));
    }

    // Starts the program with the dialog answering path (nothing: the user cancels).
    void start(std::optional<QString> path) {
        fake.files.answers.push_back(path);
        window->Form_Load();
    }

    void openThroughMenu(std::optional<QString> path) {
        fake.files.answers.push_back(path);
        action("mnuOpen")->trigger();
    }

    QString lastFile() { return fake.settings.value(QStringLiteral("Last File")); }

    TempDir dir;
    test::FakePlatform fake;
    std::unique_ptr<MainWindow> window;
};

// Runs check on the modal window that the next action opens, then closes it.
void onNextModal(std::function<void(QWidget*)> check) {
    QTimer::singleShot(0, [check] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        check(modal);
        modal->close();
    });
}

TEST_F(MainWindowTest, MenuBarCaptionsShortcutsAndStartStates) {
    EXPECT_EQ(window->objectName(), "Main");
    EXPECT_EQ(window->windowTitle(), "Slamwise Player Editor (v0.00) - ROM NAME");
    struct Entry {
        const char* name;
        const char* caption;
        const char* shortcut;
        bool enabled;
    };
    for (const Entry& entry : {
             Entry{"mnuOpen", "&Open ROM", "Ctrl+O", true},
             Entry{"mnuClose", "C&lose ROM", "Ctrl+L", false},
             Entry{"mnuSave", "&Save ROM", "Ctrl+S", false},
             Entry{"mnuLastFile", "1: ", "", false},
             Entry{"mnuExit", "E&xit", "Ctrl+X", true},
             Entry{"mnuCheats", "&Cheat Codes", "", false},
             Entry{"mnuFeature2", "Dummy", "", false},
             Entry{"mnuFeature3", "Dummy", "", false},
             Entry{"mnuHomepage", "www.example.org", "F12", true},
             Entry{"mnuAbout", "&About", "F1", true},
         }) {
        QAction* found = action(entry.name);
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(found->text(), entry.caption) << entry.name;
        EXPECT_EQ(found->shortcut().toString(), entry.shortcut) << entry.name;
        EXPECT_EQ(found->isEnabled(), entry.enabled) << entry.name;
    }
    for (const char* separator : {"mnusep1", "mnuSep2", "mnuSep3"}) {
        EXPECT_TRUE(action(separator)->isSeparator());
    }
    auto* region = window->findChild<QLabel*>("RegionLBL");
    ASSERT_NE(region, nullptr);
    EXPECT_EQ(region->text(), "000");
    EXPECT_TRUE(region->isHidden());
}

TEST_F(MainWindowTest, StartUpCancelled) {
    start(std::nullopt);
    ASSERT_EQ(fake.files.calls.size(), 1u);
    std::vector<std::pair<QString, QString>> filters;
    for (const FileTypeFilter& filter : fake.files.calls[0].filters) {
        filters.emplace_back(filter.caption, filter.patterns);
    }
    EXPECT_EQ(filters,
              (std::vector<std::pair<QString, QString>>{
                  {"All Files (*.*)", "*.*"},
                  {"All SNES ROM Files (*.swc, *.smc, *.sfc, *.fig)", "*.smc;*.swc;*.sfc;*.fig"},
                  {"Super MagiCom ROM File (*.smc)", "*.smc"},
                  {"Super Wild Card ROM File (*.swc)", "*.swc"},
                  {"Super Famicom ROM File (*.sfc)", "*.sfc"},
                  {"Super UFO 8/Pro Fighter X ROM File (*.fig)", "*.fig"},
              }));
    EXPECT_EQ(fake.files.calls[0].selectedFilter, 1);
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, kCancelled);
    EXPECT_EQ(fake.messages.shown[0].title, "WTF");
    EXPECT_EQ(fake.messages.shown[0].icon, Icon::Question);
    EXPECT_EQ(window->windowTitle(), MainWindow::kDesignCaption);
    EXPECT_EQ(action("mnuLastFile")->text(), "1: ");
    EXPECT_FALSE(enabled("mnuLastFile"));
    EXPECT_TRUE(enabled("mnuOpen"));
    EXPECT_FALSE(enabled("mnuClose"));
    EXPECT_FALSE(enabled("mnuSave"));
    EXPECT_FALSE(enabled("mnuCheats"));
    EXPECT_FALSE(window->romOpen());
}

TEST_F(MainWindowTest, StartUpCancelledWithARememberedFileOffersIt) {
    QString remembered = makeImage("old.sfc");
    fake.settings.values[QStringLiteral("Last File")] = remembered;
    start(std::nullopt);
    EXPECT_EQ(action("mnuLastFile")->text(), "1: " + remembered);
    EXPECT_TRUE(enabled("mnuLastFile"));
    EXPECT_EQ(lastFile(), remembered);
}

TEST_F(MainWindowTest, OpeningThroughTheDialog) {
    fake.settings.values[QStringLiteral("Last File")] = QStringLiteral("/somewhere/else.sfc");
    QString path = makeImage("game.sfc");
    start(path);
    EXPECT_TRUE(fake.messages.shown.empty());
    EXPECT_TRUE(window->romOpen());
    EXPECT_EQ(lastFile(), path);
    EXPECT_EQ(action("mnuLastFile")->text(), "1: " + path);
    EXPECT_FALSE(enabled("mnuLastFile"));
    EXPECT_FALSE(enabled("mnuOpen"));
    EXPECT_TRUE(enabled("mnuClose"));
    EXPECT_TRUE(enabled("mnuSave"));
    EXPECT_TRUE(enabled("mnuCheats"));
    EXPECT_EQ(window->releaseCode(), "NA");
    EXPECT_EQ(window->windowTitle(), captionFor(kTitle, "'' [North America]"));
}

TEST_F(MainWindowTest, EveryReleaseGetsItsCodeCaptionAndMenus) {
    struct Case {
        Release release;
        const char* code;
        const char* ending;
        bool cheats;
        bool save;
    };
    for (const Case& c : {
             Case{Release::Beta, "BETA", "'' [Beta Version]", false, false},
             Case{Release::Europe, "EU", "'' [Europe]", false, false},
             Case{Release::Japan, "JPN", "'' [Japan]", true, true},
             Case{Release::NorthAmerica, "NA", "'' [North America]", true, true},
             Case{Release::OldSchool, "ZZZ", "'' [Brannick's Old School Edition]", true, false},
         }) {
        // The title keeps all 21 characters, trailing blanks included.
        QString path = makeImage(std::string(c.code) + ".sfc",
                                 ImageOptions{c.release, 2 * 1024 * 1024, false, 5, "AB"});
        openThroughMenu(path);
        EXPECT_EQ(window->releaseCode(), c.code);
        EXPECT_EQ(window->windowTitle(),
                  captionFor(QStringLiteral("AB") + QString(19, ' '), c.ending));
        EXPECT_EQ(enabled("mnuCheats"), c.cheats) << c.code;
        EXPECT_EQ(enabled("mnuSave"), c.save) << c.code;
        EXPECT_TRUE(enabled("mnuClose"));
        action("mnuClose")->trigger();
    }
}

TEST_F(MainWindowTest, HeaderedImageIsReadAfterItsHeaderAndNoticed) {
    QString path =
        makeImage("headered.smc", ImageOptions{Release::Japan, 2 * 1024 * 1024, true, 9});
    std::vector<std::uint8_t> before = readFile(path.toStdString());
    start(path);
    EXPECT_TRUE(window->romOpen());
    EXPECT_EQ(window->releaseCode(), "JPN");
    EXPECT_TRUE(window->statusBar()->currentMessage().contains("copier header"));
    EXPECT_EQ(readFile(path.toStdString()), before);
}

TEST_F(MainWindowTest, DialogRefusals) {
    Image zeroFirst;
    zeroFirst.at(0) = 0;
    QString zeroPath = QString::fromStdString(zeroFirst.writeTo(dir.path() / "zero.sfc"));
    QString emptyPath = QString::fromStdString(dir.file("empty.sfc"));
    test::writeFile(emptyPath.toStdString(), {});
    QString missingPath = QString::fromStdString(dir.file("typed-name.sfc"));

    for (const QString& path :
         {zeroPath, emptyPath, missingPath, QString::fromStdString(dir.path().string())}) {
        fake.messages.shown.clear();
        openThroughMenu(path);
        EXPECT_FALSE(window->romOpen()) << path.toStdString();
        ASSERT_EQ(fake.messages.shown.size(), 1u);
        EXPECT_EQ(fake.messages.shown[0].text, kCancelled);
        EXPECT_TRUE(enabled("mnuOpen"));
        EXPECT_FALSE(enabled("mnuClose"));
        EXPECT_FALSE(enabled("mnuSave"));
        EXPECT_TRUE(lastFile().isEmpty());
    }
    // Opening never creates a file.
    EXPECT_FALSE(std::filesystem::exists(missingPath.toStdString()));
    EXPECT_TRUE(fake.messages.shown[0].details.contains("directory"));
}

TEST_F(MainWindowTest, ReadOnlyFileIsRefusedWithTheReason) {
    test::Unprivileged::openUp(dir.path());
    QString path = makeImage("readonly.sfc");
    ::chmod(path.toLocal8Bit().constData(), 0444);
    test::Unprivileged unprivileged;
    openThroughMenu(path);
    EXPECT_FALSE(window->romOpen());
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, kCancelled);
    EXPECT_TRUE(fake.messages.shown[0].details.contains("Permission denied"))
        << fake.messages.shown[0].details.toStdString();
}

TEST_F(MainWindowTest, UnknownImageIsRefusedAndKeepsTheReleaseCode) {
    QString japan = makeImage("japan.sfc", ImageOptions{Release::Japan});
    start(japan);
    action("mnuClose")->trigger();
    EXPECT_EQ(window->windowTitle(), "Slamwise Player Editor (v0.36) - NO ROM LOADED");

    Image unknown;
    unknown.at(0x8422) = 'x';
    QString path = QString::fromStdString(unknown.writeTo(dir.path() / "unknown.sfc"));
    std::vector<std::uint8_t> before = readFile(path.toStdString());
    openThroughMenu(path);
    EXPECT_FALSE(window->romOpen());
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].title, "Unknown ROM image");
    EXPECT_EQ(window->releaseCode(), "JPN");
    EXPECT_EQ(window->windowTitle(), "Slamwise Player Editor (v0.36) - NO ROM LOADED");
    EXPECT_EQ(lastFile(), japan);
    EXPECT_EQ(readFile(path.toStdString()), before);
}

TEST_F(MainWindowTest, ReopeningTheRememberedFile) {
    QString path = makeImage("game.sfc", ImageOptions{Release::Japan});
    fake.settings.values[QStringLiteral("Last File")] = path;
    start(std::nullopt);
    fake.messages.shown.clear();
    action("mnuLastFile")->trigger();
    EXPECT_TRUE(window->romOpen());
    EXPECT_TRUE(fake.messages.shown.empty());
    EXPECT_EQ(window->releaseCode(), "JPN");
    EXPECT_EQ(window->windowTitle(), captionFor(kTitle, "'' [Japan]"));
    EXPECT_FALSE(enabled("mnuLastFile"));
    EXPECT_FALSE(enabled("mnuOpen"));
    EXPECT_EQ(lastFile(), path);
}

TEST_F(MainWindowTest, RememberedFileThatWasDeleted) {
    QString path = QString::fromStdString(dir.file("gone.sfc"));
    fake.settings.values[QStringLiteral("Last File")] = path;
    start(std::nullopt);
    fake.messages.shown.clear();
    action("mnuLastFile")->trigger();
    EXPECT_FALSE(window->romOpen());
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, kMissing);
    EXPECT_EQ(fake.messages.shown[0].title, "WTF");
    EXPECT_TRUE(lastFile().isEmpty());
    EXPECT_EQ(action("mnuLastFile")->text(), "1: ");
    EXPECT_FALSE(enabled("mnuLastFile"));
    EXPECT_FALSE(std::filesystem::exists(path.toStdString()));
}

TEST_F(MainWindowTest, RememberedFileWithAZeroFirstByteIsForgottenButKept) {
    Image image;
    image.at(0) = 0;
    QString path = QString::fromStdString(image.writeTo(dir.path() / "zero.sfc"));
    fake.settings.values[QStringLiteral("Last File")] = path;
    start(std::nullopt);
    fake.messages.shown.clear();
    action("mnuLastFile")->trigger();
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, kMissing);
    EXPECT_TRUE(lastFile().isEmpty());
    EXPECT_EQ(readFile(path.toStdString()), image.bytes());
}

TEST_F(MainWindowTest, RememberedFileThatIsReadOnlyStaysRememberedAndUntouched) {
    test::Unprivileged::openUp(dir.path());
    QString path = makeImage("readonly.sfc");
    std::vector<std::uint8_t> before = readFile(path.toStdString());
    ::chmod(path.toLocal8Bit().constData(), 0444);
    fake.settings.values[QStringLiteral("Last File")] = path;
    start(std::nullopt);
    fake.messages.shown.clear();
    {
        test::Unprivileged unprivileged;
        action("mnuLastFile")->trigger();
    }
    EXPECT_FALSE(window->romOpen());
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, kMissing);
    EXPECT_TRUE(fake.messages.shown[0].details.contains("Permission denied"));
    EXPECT_EQ(lastFile(), path);
    EXPECT_TRUE(enabled("mnuLastFile"));
    EXPECT_TRUE(std::filesystem::exists(path.toStdString()));
    EXPECT_EQ(readFile(path.toStdString()), before);
}

TEST_F(MainWindowTest, ClosingRemembersTheClosedFile) {
    QString path = makeImage("game.sfc");
    start(path);
    fake.settings.values[QStringLiteral("Last File")] = QString();
    action("mnuClose")->trigger();
    EXPECT_FALSE(window->romOpen());
    EXPECT_EQ(window->windowTitle(), "Slamwise Player Editor (v0.36) - NO ROM LOADED");
    EXPECT_EQ(lastFile(), path);
    EXPECT_EQ(action("mnuLastFile")->text(), "1: " + path);
    EXPECT_TRUE(enabled("mnuLastFile"));
    EXPECT_TRUE(enabled("mnuOpen"));
    EXPECT_FALSE(enabled("mnuClose"));
    EXPECT_FALSE(enabled("mnuSave"));
    EXPECT_FALSE(enabled("mnuCheats"));
    EXPECT_EQ(window->releaseCode(), "NA");  // closing keeps the release code

    // A cancelled dialog afterwards does not reopen the earlier file and keeps the entry usable.
    fake.messages.shown.clear();
    openThroughMenu(std::nullopt);
    EXPECT_FALSE(window->romOpen());
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, kCancelled);
    EXPECT_TRUE(enabled("mnuLastFile"));

    // A refused dialog path is not what the next close remembers.
    action("mnuLastFile")->trigger();
    ASSERT_TRUE(window->romOpen());
    openThroughMenu(QString::fromStdString(dir.file("nothing-here.sfc")));  // menu disabled: no-op
    action("mnuClose")->trigger();
    EXPECT_EQ(lastFile(), path);
}

TEST_F(MainWindowTest, FirstRunSettingsAreWrittenOnceAtTheFirstEnd) {
    start(std::nullopt);
    action("mnuExit")->trigger();
    std::vector<QString> keys;
    for (const auto& [key, value] : fake.settings.writes) {
        keys.push_back(key);
    }
    EXPECT_EQ(keys,
              std::vector<QString>({"Application Path", "Visual Data Expanded", "Last Version Used",
                                    "Do ya love me?", "Date of Installation"}));
    EXPECT_EQ(fake.settings.value("Application Path"), "/opt/editor");
    EXPECT_EQ(fake.settings.value("Visual Data Expanded"), "0");
    EXPECT_EQ(fake.settings.value("Last Version Used"), "v0.36");
    EXPECT_EQ(fake.settings.value("Do ya love me?"), "Of course!");
    EXPECT_TRUE(fake.settings.value("Date of Installation").contains(", "));

    // The close box after Exit does not run it again, nor does a later end of the program.
    window->close();
    EXPECT_EQ(fake.settings.writes.size(), 5u);
    MainWindow second(fake.platform(), "/elsewhere");
    second.close();
    EXPECT_EQ(fake.settings.writes.size(), 5u);
    EXPECT_EQ(fake.settings.value("Application Path"), "/opt/editor");
}

TEST_F(MainWindowTest, CloseBoxAndCancelButtonEndTheProgramToo) {
    window->close();
    EXPECT_EQ(fake.settings.value("Do ya love me?"), "Of course!");

    test::FakePlatform other;
    MainWindow second(other.platform(), "/opt/editor");
    auto* cancel = second.findChild<QAbstractButton*>("QuitCMD");
    ASSERT_NE(cancel, nullptr);
    cancel->click();
    EXPECT_EQ(other.settings.value("Do ya love me?"), "Of course!");
    EXPECT_EQ(other.settings.writes.size(), 5u);
}

TEST_F(MainWindowTest, AboutWindowAndHomePage) {
    QString shownText;
    for (int round = 0; round < 2; ++round) {
        onNextModal([&](QWidget* about) {
            EXPECT_EQ(about->objectName(), "About");
            EXPECT_EQ(about->windowTitle(), "About this Program...");
            auto* info = about->findChild<QLabel*>("ProgramInfoLBL");
            ASSERT_NE(info, nullptr);
            if (round == 1) {
                EXPECT_EQ(info->text(), shownText);  // the same text every time
            }
            shownText = info->text();
            QStringList lines = info->text().split("\r\n");
            ASSERT_GE(lines.size(), 9);
            EXPECT_EQ(lines[0], "Slamwise Player Editor");
            EXPECT_EQ(lines[1], "Version: 0.36");
            EXPECT_EQ(lines[2], "");
            EXPECT_EQ(lines[3], "Released: 05/10/2013");
            EXPECT_EQ(lines[4], "Updated: 5/19/2013");
            EXPECT_TRUE(about->findChild<QLabel*>("WarningLBL")->text().startsWith("READ THIS: "));
            auto* forum = about->findChild<QLabel*>("QuillonLBL");
            EXPECT_EQ(forum->toolTip(), "Visit the official forums.");
            emit forum->linkActivated("https://forum.example.org/");
            EXPECT_TRUE(about->isVisible());  // a link leaves the window open
            EXPECT_EQ(about->findChild<QAbstractButton*>("CloseCMD")->text(), "&Close");
        });
        action("mnuAbout")->trigger();
    }
    ASSERT_EQ(fake.urls.opened.size(), 2u);
    EXPECT_EQ(fake.urls.opened[0].host(), "forum.example.org");
    action("mnuHomepage")->trigger();
    EXPECT_EQ(fake.urls.opened.back().host(), "www.example.org");
}

TEST_F(MainWindowTest, SecondaryWindowsGetTheIdentificationCaptionUntilTheyClose) {
    QString path = makeImage("game.sfc", ImageOptions{Release::Japan});
    start(path);
    QString identified = captionFor(kTitle, "'' [Japan]");
    auto* rosterButton = window->findChild<QAbstractButton*>("TeamEditCMD");
    ASSERT_NE(rosterButton, nullptr);

    onNextModal([&](QWidget* roster) {
        EXPECT_EQ(roster->objectName(), "RosterEditor");
        EXPECT_EQ(roster->windowTitle(), identified);
    });
    rosterButton->click();
    onNextModal([&](QWidget* roster) { EXPECT_EQ(roster->windowTitle(), "Team Roster Editor"); });
    rosterButton->click();

    onNextModal([&](QWidget* cheats) {
        EXPECT_EQ(cheats->objectName(), "Cheats");
        EXPECT_EQ(cheats->windowTitle(), identified);
    });
    action("mnuCheats")->trigger();
    onNextModal([&](QWidget* cheats) { EXPECT_EQ(cheats->windowTitle(), "Enable Cheat Codes"); });
    action("mnuCheats")->trigger();

    // Closing gives the roster editor the closing caption; the cheat window keeps its own.
    action("mnuClose")->trigger();
    action("mnuLastFile")->trigger();  // the remembered-file path sets the bare caption first
    onNextModal([&](QWidget* roster) { EXPECT_EQ(roster->windowTitle(), identified); });
    rosterButton->click();
}

}  // namespace
}  // namespace slamwise

namespace slamwise {
namespace {

TEST_F(MainWindowTest, HugeAndSpecialFilesAreRefusedWithoutBeingChanged) {
    // A sparse 5 GiB file that is not an image: identified as nothing, never written.
    std::string huge = dir.file("movie.sfc");
    Image start(ImageOptions{Release::NorthAmerica, 0x10000});
    start.at(0x8422) = 'x';
    start.writeTo(huge);
    std::filesystem::resize_file(huge, 5ull << 30);
    openThroughMenu(QString::fromStdString(huge));
    EXPECT_FALSE(window->romOpen());
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(std::filesystem::file_size(huge), 5ull << 30);

    fake.messages.shown.clear();
    openThroughMenu(QStringLiteral("/dev/zero"));
    EXPECT_FALSE(window->romOpen());
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].details.contains("not a regular file"));
}

}  // namespace
}  // namespace slamwise

namespace slamwise {
namespace {

TEST_F(MainWindowTest, NamesFileBesideTheImageNamesPlayersAndTeams) {
    QString path = makeImage("game.sfc");
    std::string names = "# my names\nplayer 0 = First Person\nteam 26 = Youngsters\n";
    test::writeFile(path.toStdString() + ".names",
                    std::vector<std::uint8_t>(names.begin(), names.end()));
    start(path);
    EXPECT_TRUE(fake.messages.shown.empty());
    auto* players = window->findChild<QListWidget*>("PlayerLST");
    ASSERT_NE(players, nullptr);
    EXPECT_EQ(players->item(0)->text(), "First Person");
    EXPECT_EQ(players->item(1)->text(), "Player 001");

    onNextModal([](QWidget* roster) {
        auto* teams = roster->findChild<QListWidget*>("TeamLST");
        ASSERT_NE(teams, nullptr);
        EXPECT_EQ(teams->item(26)->text(), "Youngsters");
        auto* position = roster->findChild<QComboBox*>("POS1CBO");
        EXPECT_EQ(position->itemText(0), "00-First Person (*)");
    });
    window->findChild<QAbstractButton*>("TeamEditCMD")->click();
}

TEST_F(MainWindowTest, BrokenNamesFileIsReportedAndPlaceholdersStandInForItsBadLines) {
    QString path = makeImage("game.sfc");
    std::string names = "player 999 = Nobody\nplayer 1 = Someone\nplayer 0 =\n";
    test::writeFile(path.toStdString() + ".names",
                    std::vector<std::uint8_t>(names.begin(), names.end()));
    start(path);
    EXPECT_TRUE(window->romOpen());
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].details,
              path + ".names:1: player 999 is out of range (0 to 169)\n" + path +
                  ".names:3: player 0 has an empty name");
    auto* players = window->findChild<QListWidget*>("PlayerLST");
    EXPECT_EQ(players->item(0)->text(), "Player 000");
    EXPECT_EQ(players->item(1)->text(), "Someone");
}

TEST_F(MainWindowTest, SecondWindowCannotOpenAnImageThatIsOpen) {
    QString path = makeImage("game.sfc");
    start(path);
    ASSERT_TRUE(window->romOpen());

    test::FakePlatform other;
    MainWindow second(other.platform(), "/opt/editor");
    other.files.answers.push_back(path);
    second.Form_Load();
    EXPECT_FALSE(second.romOpen());
    ASSERT_EQ(other.messages.shown.size(), 1u);
    EXPECT_TRUE(other.messages.shown[0].details.contains("already open"))
        << other.messages.shown[0].details.toStdString();
    second.close();
}

}  // namespace
}  // namespace slamwise
