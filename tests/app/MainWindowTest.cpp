// The main window driven through its menus and controls: what it says, what it opens and what
// it writes into the file.
#include "app/MainWindow.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <filesystem>
#include <functional>

#include <sys/stat.h>

#include "app/WriteMessages.h"
#include "storage/FaultInjection.h"
#include "storage/Journal.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/ImageBuilder.h"
#include "tests/support/WindowTest.h"

namespace slamwise {
namespace {

using test::Image;

using test::onNextModal;

// Compares each "what|text" line of table with what shown gives for it; "\r" and "\n" in a
// text of the table stand for the line-break characters.
void expectTexts(const char* table, const std::function<QString(const QString&)>& shown) {
    for (const QString& line : QString(table).split('\n')) {
        const QString what = line.section('|', 0, 0);
        EXPECT_EQ(shown(what).replace("\r", "\\r").replace("\n", "\\n").toStdString(),
                  line.section('|', 1).toStdString())
            << what.toStdString();
    }
}

class MainWindowTest : public ::testing::Test {
  protected:
    template <class T = QAction>
    T* child(const char* name, QObject* parent = nullptr) {
        T* found = (parent != nullptr ? parent : window.get())->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString image(const std::string& name, test::ImageOptions options = {}) {
        std::filesystem::create_directories((dir.path() / name).parent_path());
        return QString::fromStdString(Image(options).writeTo(dir.path() / name));
    }
    void start(std::optional<QString> path) {
        fake.files.answers = {path};
        window->Form_Load();
    }
    void open(std::optional<QString> path) {
        fake.files.answers = {path};
        child("mnuOpen")->trigger();
    }
    static auto bytes(const QString& path) { return test::readFile(path.toStdString()); }
    QString lastFile() { return fake.settings.value("Last File"); }
    // The last message box as "icon title: text".
    QString lastBox() {
        static const char* const icons[] = {"question", "exclamation", "information", "critical"};
        const auto& box = fake.messages.shown.at(fake.messages.shown.size() - 1);
        return icons[static_cast<int>(box.icon)] + (" " + box.title) + ": " + box.text;
    }
    // Enabled states of Open, Close, Save, the last-file entry, Cheat Codes, Players Table and
    // All Rosters, as "1001000".
    QString menus() {
        QString states;
        for (const char* name : {"mnuOpen", "mnuClose", "mnuSave", "mnuLastFile", "mnuCheats",
                                 "mnuPlayersTable", "mnuAllRosters"}) {
            states += child(name)->isEnabled() ? '1' : '0';
        }
        return states;
    }
    // Drags path over the window and drops it there; true when the window took the drag.
    bool drop(const QString& path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(window.get(), &enter);
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(window.get(), &dropped);
        return enter.isAccepted();
    }

    test::TempDir dir;
    test::FakePlatform fake;
    std::unique_ptr<MainWindow> window = std::make_unique<MainWindow>(fake.platform(), "/opt/x");
};

// Every fixed text of the main window, one "what|text" a line ("\n" in a text: a line break).
const char* const kMainWindowTexts = R"(caption at start|Slamwise Player Editor (v0.00) - ROM NAME
mnuFile|&File: &Open ROM [Ctrl+O], C&lose ROM [Ctrl+L], &Save ROM [Ctrl+S], -, &Fix Checksum [], Fix Checksum &After Every Change [], Create &Patch... [], Appl&y Patch... [], Compare &With... [], -, &1:  [], -, E&xit [Ctrl+X]
mnuEdit|&Edit: &Undo [Ctrl+Z], &Redo [Ctrl+Y]
mnuStuff|S&tuff: &Cheat Codes [], Players &Table... [Ctrl+T], All &Rosters... [], Dummy [], Dummy []
mnuInfo|&Information: www.example.org [F12], -, &About [F1]
dialog titles|Open ROM in DIR / Save Patch As / Choose the Patch to Apply
open dialog|All Files (*.*) = *.* / > All SNES ROM Files (*.swc, *.smc, *.sfc, *.fig) = *.smc;*.swc;*.sfc;*.fig / Super MagiCom ROM File (*.smc) = *.smc / Super Wild Card ROM File (*.swc) = *.swc / Super Famicom ROM File (*.sfc) = *.sfc / Super UFO 8/Pro Fighter X ROM File (*.fig) = *.fig
refusals|question WTF: So you want to load a ROM or what? / question WTF: The ROM you're trying to load was deleted, renamed, or moved and cannot be loaded.
BETA|0100001 Slamwise Player Editor (v0.36) - ''SLAMWISE TEST IMAGE  '' [Beta Version]
EU|0100001 Slamwise Player Editor (v0.36) - ''SLAMWISE TEST IMAGE  '' [Europe]
JPN|0110111 Slamwise Player Editor (v0.36) - ''SLAMWISE TEST IMAGE  '' [Japan]
NA|0110111 Slamwise Player Editor (v0.36) - ''SLAMWISE TEST IMAGE  '' [North America]
ZZZ|0100101 Slamwise Player Editor (v0.36) - ''SLAMWISE TEST IMAGE  '' [Brannick's Old School Edition]
after close|1001000 Slamwise Player Editor (v0.36) - NO ROM LOADED
odd caption|Slamwise Player Editor (v0.36) - ''R&D [*] EDITION TEST '' [North America]
opening notes|exclamation Unknown ROM image: "IMAGE" is not an image of a known release of the game (Beta, Europe, Japan, North America or the Old School Edition). The editor will not change it. / exclamation Slamwise Player Editor (v0.36): The player data of this file cannot be edited. / exclamation Slamwise Player Editor (v0.36): The names file beside this image has mistakes, so the editor shows its own placeholder names for the lines it cannot read.
status bar and offset tooltip|This image starts with a 512-byte copier header; the editor skips it and leaves it as it is. / Click to copy an offset. In the file, after its 512-byte copier header: $1FBACF. / An image is open: close it (File > Close ROM) to open another.
after writes|Fixed the checksum / Undid Fix Checksum / Redid Fix Checksum / Applied the patch / Undid Apply Patch
fixing|Checksum stale / Checksum valid / &Undo Fix Checksum / &Redo Fix Checksum / &Undo Apply Patch
failures|critical Slamwise Player Editor (v0.36): The checksum could not be fixed. / critical CAPTION: The change could not be undone. / critical CAPTION: The change could not be redone.
patch dialogs|IPS Patch (*.ips) = *.ips / > BPS Patch (*.bps) = *.bps / > Patch Files (*.ips, *.bps) = *.ips;*.bps / All Files (*.*) = *.*
patches|critical Slamwise Player Editor (v0.36): The patch was not written. / information Slamwise Player Editor (v0.36): The patch was written to PATCH. / information Slamwise Player Editor (v0.36): The patch changed 4 byte(s). / critical Slamwise Player Editor (v0.36): The patch was not applied.)";

TEST_F(MainWindowTest, EveryFixedTextReadsAsWrittenAndTheChangesBehindThemAreExact) {
    std::map<QString, QString> seen;
    // Texts of one kind go in one line of the table, separated by " / ".
    auto add = [&](const char* what, const QString& text) {
        seen[what] += (seen[what].isEmpty() ? "" : " / ") + text;
    };
    auto dialog = [&](const char* what) {  // "> " marks the preselected entry
        const auto& call = fake.files.calls.back();
        add("dialog titles", call.title + (call.startFolder.isEmpty() ? "" : " in ") +
                                 QString(call.startFolder).replace(dir.path().c_str(), "DIR"));
        for (int i = 0; i < static_cast<int>(call.filters.size()); ++i) {
            add(what, (i == call.selectedFilter ? "> " : "") + call.filters[i].caption + " = " +
                          call.filters[i].patterns);
        }
    };
    auto failing = [](QAction* action) {
        FaultPlan plan{.persistent = true};
        ScopedFaultPlan scoped(plan);
        action->trigger();
    };
    seen["caption at start"] = window->windowTitle();
    for (QMenu* menu : window->findChildren<QMenu*>()) {  // "title: entry [shortcut], -, ..."
        QStringList entries;
        for (QAction* entry : menu->actions()) {
            entries << (entry->isSeparator()
                            ? QString("-")
                            : entry->text() + " [" + entry->shortcut().toString() + "]");
        }
        seen[menu->objectName()] = menu->title() + ": " + entries.join(", ");
    }
    EXPECT_EQ(window->releaseCode(), "000");
    const QString gone = QString::fromStdString(dir.file("gone.sfc"));
    fake.settings.values["Last File"] = gone;
    start(std::nullopt);
    add("refusals", lastBox());
    dialog("open dialog");
    EXPECT_EQ(menus(), "1001000");
    child("mnuLastFile")->trigger();
    add("refusals", lastBox());
    EXPECT_EQ(menus() + lastFile() + child("mnuLastFile")->text(), "1000000&1: ");
    EXPECT_FALSE(std::filesystem::exists(gone.toStdString()));  // opening never creates a file
    for (Release release : {Release::Beta, Release::Europe, Release::Japan, Release::NorthAmerica,
                            Release::OldSchool}) {
        open(image(std::to_string(static_cast<int>(release)) + ".sfc", {release}));
        seen[window->releaseCode()] = menus() + " " + window->windowTitle();
        onNextModal(
            [&](QWidget* roster) { EXPECT_EQ(roster->windowTitle(), window->windowTitle()); });
        child<QAbstractButton>("TeamEditCMD")->click();
        child("mnuClose")->trigger();
        seen["after close"] = menus() + " " + window->windowTitle();
    }
    Image unknown;
    unknown.at(0x8422) = 'x';
    const QString unknownPath = QString::fromStdString(unknown.writeTo(dir.file("unknown.sfc")));
    open(unknownPath);
    add("opening notes", lastBox().replace(unknownPath, "IMAGE"));
    EXPECT_EQ(window->releaseCode(), "ZZZ");  // kept from the last identified image
    open(image("short.sfc", {.size = 0x1FC000}));
    add("opening notes", lastBox());
    child("mnuClose")->trigger();
    const QString named = image("named.sfc");
    test::writeFile(named.toStdString() + ".names", {'p', 'l', 'a', 'y', 'e', 'r', ' ', '9'});
    fake.files.calls.clear();
    window->Form_Load(named);  // named on the command line: no dialog
    EXPECT_TRUE(fake.files.calls.empty());
    add("opening notes", lastBox());
    child("mnuClose")->trigger();

    // Paths and titles show as they are; a dropped file opens as the dialog's would.
    const test::ImageOptions odd = {.copierHeader = true, .title = "R&D [*] EDITION TEST "};
    const QString path = image("R&D/a&b.smc", odd);
    const QString original = image("original.smc", odd);
    EXPECT_TRUE(drop(path));
    EXPECT_EQ(lastFile(), path);
    window->winId();  // the caption as the desktop gets it
    seen["odd caption"] = window->windowHandle()->title();
    add("status bar and offset tooltip", window->statusBar()->currentMessage());
    add("status bar and offset tooltip", child<QLabel>("ActualHEXLBL")->toolTip());
    EXPECT_FALSE(drop(original));
    add("status bar and offset tooltip", window->statusBar()->currentMessage());
    add("fixing", child<QLabel>("ChecksumLBL")->text());
    failing(child("mnuFixChecksum"));
    add("failures", lastBox());
    EXPECT_NE(window->statusBar()->currentMessage(), "Fixed the checksum");  // nothing written
    child("mnuFixChecksum")->trigger();
    add("after writes", window->statusBar()->currentMessage());
    const std::vector<std::uint8_t> fixed = bytes(path);
    EXPECT_EQ(test::changedOffsets(bytes(original), fixed, 512),
              (std::vector<std::uint32_t>{0x7FDC, 0x7FDD, 0x7FDE, 0x7FDF}));
    add("fixing", child<QLabel>("ChecksumLBL")->text());
    add("fixing", child("mnuUndo")->text());
    failing(child("mnuUndo"));
    add("failures", lastBox().replace(window->windowTitle(), "CAPTION"));
    child("mnuUndo")->trigger();
    add("after writes", window->statusBar()->currentMessage());
    EXPECT_EQ(bytes(path), bytes(original));
    add("fixing", child("mnuRedo")->text());
    failing(child("mnuRedo"));
    add("failures", lastBox().replace(window->windowTitle(), "CAPTION"));
    child("mnuRedo")->trigger();
    add("after writes", window->statusBar()->currentMessage());
    EXPECT_EQ(bytes(path), fixed);

    fake.files.answers = {original, QString::fromStdString(dir.file("mod.txt"))};
    child("mnuCreatePatch")->trigger();
    add("patches", lastBox());
    dialog("patch dialogs");
    const QString patch = QString::fromStdString(dir.file("mod.ips"));
    fake.files.answers = {original, patch};
    child("mnuCreatePatch")->trigger();
    add("patches", lastBox().replace(patch, "PATCH"));
    child("mnuUndo")->trigger();
    fake.files.answers = {patch};
    fake.messages.answers = {true};  // at image offsets, after the copier header
    onNextModal(
        [](QWidget* preview) { preview->findChild<QAbstractButton*>("PatchApplyCMD")->click(); });
    child("mnuApplyPatch")->trigger();
    add("patches", lastBox());
    add("after writes", window->statusBar()->currentMessage());
    EXPECT_EQ(bytes(path), fixed);
    add("fixing", child("mnuUndo")->text());  // the patch is undone as any change
    child("mnuUndo")->trigger();
    add("after writes", window->statusBar()->currentMessage());
    EXPECT_EQ(bytes(path), bytes(original));
    child("mnuRedo")->trigger();
    dialog("patch dialogs");
    fake.files.answers = {original};
    child("mnuApplyPatch")->trigger();
    add("patches", lastBox());
    child("mnuClose")->trigger();
    EXPECT_EQ(child("mnuLastFile")->iconText(), "1: " + path);  // the text without access keys

    expectTexts(kMainWindowTexts, [&](const QString& what) { return seen[what]; });
}

// Players Table and All Rosters open one window each however often they are chosen, closed
// with the image. Ending the program with unapplied changes in a table asks about them first.
TEST_F(MainWindowTest, TheLeagueWindowsOpenOnceEachAndCloseWithTheImageOrAskAtTheEnd) {
    auto windows = [](const char* name) {
        int count = 0;
        for (QWidget* top : QApplication::topLevelWidgets())
            count += top->objectName() == name && top->isVisible() ? 1 : 0;
        return count;
    };
    open(image("game.sfc"));
    for (int i = 0; i < 2; ++i) {
        child("mnuPlayersTable")->trigger();
        child("mnuAllRosters")->trigger();
    }
    EXPECT_TRUE(windows("PlayersTable") == 1 && windows("RostersTable") == 1);
    child("mnuClose")->trigger();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(windows("PlayersTable") == 0 && windows("RostersTable") == 0);
    EXPECT_TRUE(window->findChildren<QWidget*>("PlayersTable").isEmpty());

    const QString path = image("exit.sfc");
    const std::vector<std::uint8_t> before = bytes(path);
    open(path);
    window->show();
    child("mnuPlayersTable")->trigger();
    auto* table = window->findChild<QWidget*>("PlayersTable")->findChild<QTableView*>();
    table->model()->setData(table->model()->index(0, 2), 10);  // a rating, not applied
    fake.messages.choices = {MessageBoxes::Choice::Cancel, MessageBoxes::Choice::Apply};
    child("mnuExit")->trigger();
    EXPECT_TRUE(window->isVisible() && windows("PlayersTable") == 1);  // Cancel: nothing ends
    EXPECT_EQ(bytes(path), before);
    child("mnuExit")->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(bytes(path) != before);  // Apply wrote the rating before the end
}

// What the status bar says after a write, by the change's label (undo and redo, and the labels
// of the File menu, are pinned with the main window's texts).
TEST(WriteMessages, SayWhatWasWrittenInTheWordsOfTheEditMenu) {
    using Step = ImageSession::Step;
    const std::tuple<const char*, Step, const char*> cases[] = {
        {"Apply to Player 037", Step::Done, "Applied to Player 037"},
        {"Relocation", Step::Done, "Relocated the visual table"},
        {"Cheat Codes", Step::Done, "Wrote the cheat codes"},
        {"Make Last Player", Step::Done, "Made the last player"},
        {"Import", Step::Done, "Wrote Import"},
    };
    for (const auto& [label, step, message] : cases) {
        EXPECT_EQ(writeMessage(label, step), message) << label;
    }
}

// Every fixed text of the About window: "control.property|text".
const char* const kAboutTexts = R"(About.windowTitle|About this Program...
ProgramInfoLBL.text|Slamwise Player Editor\r\nVersion: 0.36\r\n\r\nReleased: 05/10/2013\r\nUpdated: 5/19/2013\r\n\r\nThanks to the community's data hunters for their help with some of the data and with the game modifications.  \r\n\r\nDedicated to everyone who still plays on a Friday night.
WarningLBL.text|READ THIS: Neither the maker of this program nor its author works for, or is affiliated with, the maker of the game, the basketball league or the maker of the console, or any of their divisions.
QuillonLBL.toolTip|Visit the official forums.
URLLBL.toolTip|Come and visit the home page for more tools and news.
CloseCMD.text|&Close)";

TEST_F(MainWindowTest, TheAboutWindowReadsAsWritten) {
    for (int round = 0; round < 2; ++round) {  // the same texts every time
        onNextModal([&](QWidget* about) {
            expectTexts(kAboutTexts, [&](const QString& what) {
                const QString name = what.section('.', 0, 0);
                QObject* control = name == "About" ? about : about->findChild<QObject*>(name);
                return control->property(what.section('.', 1).toLatin1()).toString();
            });
            emit child<QLabel>("QuillonLBL", about)->linkActivated("https://forum.example.org/");
            EXPECT_TRUE(about->isVisible());  // a link leaves the window open
        });
        child("mnuAbout")->trigger();
    }
    child("mnuHomepage")->trigger();
    EXPECT_EQ(fake.urls.opened.back().toString(), "https://www.example.org/");
}

// A text file is refused with its reason; a cut-off image opens with what it does not hold
// switched off, told once. (The reasons' texts are pinned with the identification.)
TEST_F(MainWindowTest, ShortAndCutOffFilesAreToldForWhatTheyAre) {
    const QString path = QString::fromStdString(dir.file("text.sfc"));
    test::writeFile(path.toStdString(), {'a', ' ', 'l', 'i', 'n', 'e', '\n'});
    open(path);
    EXPECT_FALSE(window->romOpen());
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].details.contains(" is not a ROM image: at 7 bytes"))
        << fake.messages.shown[0].details.toStdString();
    fake.messages.shown.clear();
    open(image("cut.sfc", {.size = 100000}));
    EXPECT_TRUE(window->romOpen());
    ASSERT_EQ(fake.messages.shown.size(), 1u);  // its text is pinned with the opening notes
    EXPECT_TRUE(fake.messages.shown[0].details.contains(
        "the file ends at $186A0, before the player table"));
    EXPECT_TRUE(!child("mnuSave")->isEnabled() &&
                child("mnuCheats")->isEnabled());  // 0x179C4 is held
    EXPECT_FALSE(child<QCheckBox>("RelocateVisualCHK")->isChecked());
}

// A change that a crash left half-written is undone when the window opens the image, and the
// window says so before anything else.
TEST_F(MainWindowTest, AnUnfinishedChangeIsUndoneAtOpeningAndTold) {
    const QString path = image("crashed.sfc");
    const std::vector<std::uint8_t> before = bytes(path);
    struct stat file {};
    ASSERT_EQ(::stat(path.toStdString().c_str(), &file), 0);
    const std::uint64_t offset = 0x1FB8D1;
    const std::uint8_t old = before[offset], written = static_cast<std::uint8_t>(old ^ 0xFF);
    const Journal journal{{file.st_dev, file.st_ino, before.size(), 0},
                          {{offset, {old}, {written}}}};
    std::vector<std::uint8_t> halfDone = before;
    halfDone[offset] = written;
    test::writeFile(path.toStdString(), halfDone);
    test::writeFile(path.toStdString() + "-journal", encodeJournal(journal));
    start(path);
    ASSERT_FALSE(fake.messages.shown.empty());
    const auto& told = fake.messages.shown.front();
    EXPECT_EQ(told.icon, MessageBoxes::Icon::Information);
    EXPECT_TRUE(told.text.contains("It has been undone: the file is as it was before that change."))
        << told.text.toStdString();
    EXPECT_EQ(bytes(path), before);
    EXPECT_TRUE(window->romOpen());
}

TEST_F(MainWindowTest, AnApplyFailingAnywhereIsReportedAndUndone) {
    child("mnuAutoFixChecksum")->trigger();  // fix the checksum with every change
    EXPECT_EQ(fake.settings.value("Fix Checksum"), "1");
    const QString path = image("game.sfc");
    start(path);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    auto* players = child<QListWidget>("PlayerLST");
    EXPECT_EQ(QApplication::focusWidget(), players);  // after an opening the keys go to the list
    for (QLineEdit* box : window->findChildren<QLineEdit*>(QRegularExpression("TXT$"))) {
        box->setText("6");  // the eight ratings and the player value, which is not written
    }
    std::vector<std::uint8_t> before = bytes(path);
    for (long at = 1;; ++at) {
        fake.messages.shown.clear();
        FaultPlan plan{.at = at, .error = ENOSPC};
        {
            ScopedFaultPlan scoped(plan);
            child<QAbstractButton>("ApplyCMD")->click();
        }
        if (!plan.fired) {  // no fault left to inject: it went through
            ASSERT_TRUE(fake.messages.shown.empty());
            break;
        }
        if (fake.messages.shown.empty()) {  // a fault while tidying up after the change
            before = bytes(path);
            continue;
        }
        EXPECT_EQ(lastBox().section(' ', 0, 0), "critical") << "operation " << at;
        EXPECT_TRUE(fake.messages.shown.back().details.contains("No space left on device"));
        EXPECT_EQ(bytes(path), before) << "operation " << at;
    }
    const std::vector<std::uint8_t> after = bytes(path);
    EXPECT_EQ(child<QLabel>("ChecksumLBL")->text(), "Checksum valid");  // fixed with the change
    EXPECT_EQ(child("mnuUndo")->text(), "&Undo Apply to Player 000");
    players->setFocus();
    QTest::keyClick(players, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(bytes(path), before);
    child("mnuRedo")->trigger();
    EXPECT_EQ(bytes(path), after);
    child<QAbstractButton>("QuitCMD")->click();  // Cancel ends the program as File > Exit does
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(fake.settings.value("Do ya love me?"), "Of course!");
}

}  // namespace
}  // namespace slamwise
