// The window and slamwise follow one set of rules: the same opening verdicts, and the same edit
// gives the same file.
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

#include <functional>
#include <regex>

#include "app/MainWindow.h"
#include "rom/Journal.h"
#include "tests/support/CliRunner.h"
#include "tests/support/FakePlatform.h"

namespace slamwise {
namespace {

using test::Image;
using test::readFile;
using Icon = MessageBoxes::Icon;

// "IMAGE" in a command, message or text stands for the image's path.
std::string forImage(const std::string& text, const std::string& path) {
    return std::regex_replace(text, std::regex("IMAGE"), path);
}

// Leaves the file in the middle of a change to its cheat bytes, with the journal beside it.
void interruptAChange(const std::string& path, const Image& image) {
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    const std::uint32_t field = 0x179C4;
    const auto changed = static_cast<std::uint8_t>(~image.at(field));
    Journal journal{{info.st_dev, info.st_ino, static_cast<std::uint64_t>(info.st_size), 0},
                    {{field, {image.at(field)}, {changed}}}};
    test::writeFile(RomFile::journalPathFor(path), encodeJournal(journal));
    std::vector<std::uint8_t> halfDone = image.bytes();
    halfDone[field] = changed;
    test::writeFile(path, halfDone);
}

// Cases print as their names.
template <class Case>
requires requires(const Case& c) {
    c.name;
}
void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

const std::string kUndone =
    "The last change to \"IMAGE\" was interrupted before it was complete (the program or the "
    "computer stopped). It has been undone: the file is as it was before that change.";

struct Opening {
    const char* name;
    test::ImageOptions options;
    std::function<void(Image&)> change;
    bool interrupted;  // a journal lies beside the file
    // The window: the first message box and whether the image is open afterwards.
    Icon icon;
    const char* title;
    std::string text;
    bool opens;
    // slamwise: a command, its exit code and its standard error.
    std::vector<std::string> command;
    int code;
    std::string err;
};

const Opening kOpenings[] = {
    {"FirstByteZero",
     {},
     [](Image& image) { image.at(0) = 0; },
     false,
     Icon::Question,
     "WTF",
     "So you want to load a ROM or what?",
     false,
     {"cheats", "set", "IMAGE", "--byte1", "1"},
     1,
     "\"IMAGE\" starts with a 0 byte, so it is not taken as a ROM image.\nNothing was written.\n"},
    {"UnknownRelease",
     {},
     [](Image& image) { image.at(0x8422) = 'x'; },
     false,
     Icon::Exclamation,
     "Unknown ROM image",
     "\"IMAGE\" is not an image of a known release of the game (Beta, Europe, Japan, North "
     "America or the Old School Edition). The editor will not change it.",
     false,
     {"rosters", "end", "IMAGE", "0", "1"},
     1,
     "\"IMAGE\" is not an image of a known release of the game (Beta, Europe, Japan, North "
     "America or the Old School Edition).\nNothing was written.\n"},
    {"EndsInsideThePlayerTable",
     {.size = 0x1FC000},
     {},
     false,
     Icon::Exclamation,
     "Slamwise Player Editor (v0.36)",
     "The player data of this file cannot be edited.",
     true,
     {"players", "export", "IMAGE"},
     1,
     "\"IMAGE\" ends inside the player table ($1FB8CF to $1FC9F8): at 2080768 bytes it is too "
     "short to be an image of the game.\n"},
    {"NoPlayerData",
     {.release = Release::Europe},
     {},
     false,
     Icon::Exclamation,
     "Cannot edit this ROM fully!",
     "Please note you cannot edit the Players' data with this version of the ROM.  The following "
     "is what is available for each ROM to edit with this program...",
     true,
     {"relocate", "IMAGE"},
     1,
     "\"IMAGE\": the player data of the Europe release cannot be edited.\nNothing was written.\n"},
    {"UnfinishedChange",
     {},
     {},
     true,
     Icon::Information,
     "Slamwise Player Editor (v0.36)",
     kUndone,
     true,
     {"info", "IMAGE"},
     0,
     kUndone + "\n"},
};

class OpeningRules : public ::testing::TestWithParam<Opening> {};

TEST_P(OpeningRules, WindowAndCommandLineSayTheSameAndLeaveTheBytesAlike) {
    const Opening& c = GetParam();
    test::TempDir dir;
    Image image(c.options);
    if (c.change) {
        c.change(image);
    }
    const std::string byWindow = image.writeTo(dir.path() / "window.sfc");
    const std::string byCli = image.writeTo(dir.path() / "cli.sfc");
    if (c.interrupted) {
        interruptAChange(byWindow, image);
        interruptAChange(byCli, image);
    }

    test::FakePlatform fake;
    MainWindow window(fake.platform(), "/opt/editor");
    fake.files.answers.push_back(QString::fromStdString(byWindow));
    window.Form_Load();
    EXPECT_EQ(window.romOpen(), c.opens);
    ASSERT_FALSE(fake.messages.shown.empty());
    EXPECT_EQ(fake.messages.shown[0].icon, c.icon);
    EXPECT_EQ(fake.messages.shown[0].title, c.title);
    EXPECT_EQ(fake.messages.shown[0].text.split("\r\n")[0].toStdString(),
              forImage(c.text, byWindow));
    window.close();

    std::vector<std::string> command;
    for (const std::string& arg : c.command) {
        command.push_back(forImage(arg, byCli));
    }
    test::CliRun run = test::runCli(command);
    EXPECT_EQ(run.code, c.code);
    EXPECT_EQ(run.err, forImage(c.err, byCli));

    EXPECT_EQ(readFile(byWindow), image.bytes());
    EXPECT_EQ(readFile(byCli), image.bytes());
}

INSTANTIATE_TEST_SUITE_P(Cases, OpeningRules, ::testing::ValuesIn(kOpenings),
                         [](const auto& info) { return std::string(info.param.name); });

// Runs act on the modal window that the next click opens, then closes it.
void inNextModal(const std::function<void(QWidget*)>& act) {
    QTimer::singleShot(0, [act] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        act(modal);
        modal->close();
    });
}

template <class T>
T* child(QObject* parent, const char* name) {
    T* found = parent->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

void click(QObject* parent, const char* name) {
    child<QAbstractButton>(parent, name)->click();
}

// The player editor's Apply with every box and button set, after a relocation when asked.
std::function<void(MainWindow&)> applyPlayer(int player, bool relocate) {
    return [=](MainWindow& window) {
        if (relocate) {
            click(&window, "RelocateVisualCMD");
        }
        child<QListWidget>(&window, "PlayerLST")->setCurrentRow(player);
        const std::pair<const char*, const char*> ratings[] = {
            {"SPEEDTXT", "7"}, {"THREETXT", "3"}, {"DUNKTXT", "10"}, {"PASSTXT", "0"},
            {"POWERTXT", "5"}, {"STEALTXT", "2"}, {"BLOCKTXT", "9"}, {"DIRKTXT", "4"}};
        for (const auto& [name, value] : ratings) {
            auto* box = child<QLineEdit>(&window, name);
            box->clear();
            QTest::keyClicks(box, value);
        }
        child<QSlider>(&window, "AISLDR")->setValue(14);
        click(&window, "ShortOPT");
        click(&window, "WhiteOPT");
        click(&window, "ApplyCMD");
    };
}

// The roster editor on team 28, slot 20: "Make Last Player" (answered Yes), or Apply of codes.
std::function<void(MainWindow&)> inRosterEditor(bool endRoster) {
    return [=](MainWindow& window) {
        inNextModal([=](QWidget* roster) {
            child<QListWidget>(roster, "TeamLST")->setCurrentRow(28);
            child<QListWidget>(roster, "SlotLST")->setCurrentRow(19);
            if (endRoster) {
                click(roster, "LastPlayerCMD");
            } else {
                child<QComboBox>(roster, "POS1CBO")->setCurrentIndex(0x12);
                child<QComboBox>(roster, "POS2CBO")->setCurrentIndex(0x34);
                click(roster, "ApplyCMD");
            }
        });
        click(&window, "TeamEditCMD");
    };
}

struct SameEdit {
    const char* name;
    std::function<void(MainWindow&)> inWindow;
    std::vector<std::vector<std::string>> commands;  // "IMAGE" and "FILE" stand for the files
    std::string file;                                // the import file, when there is one
};

const std::string kPlayerRow =
    "index,speed,three_point,dunk,pass,power,steal,block,clutch,ai,height,skin\n"
    "PLAYER,7,3,10,0,5,2,9,4,14,small,white\n";
const std::vector<std::string> kImportPlayers = {"players", "import", "IMAGE", "FILE"};

SameEdit playerCase(const char* name, int player, bool relocate) {
    std::vector<std::vector<std::string>> commands = {kImportPlayers};
    if (relocate) {
        commands.insert(commands.begin(), {"relocate", "IMAGE"});
    }
    return {name, applyPlayer(player, relocate), commands,
            std::regex_replace(kPlayerRow, std::regex("PLAYER"), std::to_string(player))};
}

const SameEdit kSameEdits[] = {
    playerCase("Player0", 0, false),
    playerCase("Player127", 127, false),
    playerCase("Player140BeforeRelocation", 140, false),
    playerCase("Player140Relocated", 140, true),
    playerCase("Player168Relocated", 168, true),
    {"RosterSlot",
     inRosterEditor(false),
     {{"rosters", "import", "IMAGE", "FILE"}},
     "team,slot,position1,position2\n28,20,0x12,0x34\n"},
    {"MakeLastPlayer", inRosterEditor(true), {{"rosters", "end", "IMAGE", "28", "20"}}, ""},
    {"CheatCodes",
     [](MainWindow& window) {
         inNextModal([](QWidget* cheats) {
             for (const char* list : {"Cheat1LST", "Cheat2LST"}) {
                 for (int i = 0; i < 8; ++i) {
                     child<QListWidget>(cheats, list)
                         ->item(i)
                         ->setCheckState(i == 0 || i == 7 ? Qt::Checked : Qt::Unchecked);
                 }
             }
             click(cheats, "ApplyCMD");
         });
         child<QAction>(&window, "mnuCheats")->trigger();
     },
     {{"cheats", "set", "IMAGE", "--byte1", "0x81", "--byte2", "0x81"}},
     ""},
};

class SameEditSameBytes : public ::testing::TestWithParam<SameEdit> {};

TEST_P(SameEditSameBytes, InTheWindowAndThroughTheCommandLine) {
    const SameEdit& c = GetParam();
    test::TempDir dir;
    Image image({.release = Release::Japan, .seed = 21});
    const std::string byWindow = image.writeTo(dir.path() / "window.sfc");
    const std::string byCli = image.writeTo(dir.path() / "cli.sfc");

    test::FakePlatform fake;
    fake.messages.answers.push_back(true);  // "Are you sure?"
    MainWindow window(fake.platform(), "/opt/editor");
    fake.files.answers.push_back(QString::fromStdString(byWindow));
    window.Form_Load();
    ASSERT_TRUE(window.romOpen());
    c.inWindow(window);
    EXPECT_TRUE(fake.messages.shown.empty());
    window.close();

    test::writeText(dir.file("edit.csv"), c.file);
    for (const std::vector<std::string>& command : c.commands) {
        std::vector<std::string> args;
        for (const std::string& arg : command) {
            args.push_back(arg == "IMAGE" ? byCli : arg == "FILE" ? dir.file("edit.csv") : arg);
        }
        test::CliRun run = test::runCli(args);
        ASSERT_EQ(run.code, 0) << run.err;
    }
    EXPECT_EQ(readFile(byWindow), readFile(byCli));
    EXPECT_NE(readFile(byWindow), image.bytes());
}

INSTANTIATE_TEST_SUITE_P(Cases, SameEditSameBytes, ::testing::ValuesIn(kSameEdits),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace slamwise
