// The window and slamwise follow one set of rules: the same opening verdicts, and the same edit
// gives the same file. (The roster and cheat windows and their commands are each pinned to the
// exact bytes on their own.)
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>

#include <functional>

#include "app/MainWindow.h"
#include "tests/support/CliRunner.h"
#include "tests/support/FakePlatform.h"

namespace slamwise {
namespace {

using Act = std::function<void(QWidget*)>;

template <class T = QAbstractButton>
T* child(QObject* parent, const char* name) {
    return parent->findChild<T*>(QString::fromLatin1(name));
}

// The player editor's Apply with every box and button set, after a relocation when asked.
Act applyPlayer(int player, bool relocate = false) {
    return [=](QWidget* window) {
        if (relocate) {
            child(window, "RelocateVisualCMD")->click();
        }
        child<QListWidget>(window, "PlayerLST")->setCurrentRow(player);
        const char* boxes[] = {"SPEEDTXT", "THREETXT", "DUNKTXT",  "PASSTXT",
                               "POWERTXT", "STEALTXT", "BLOCKTXT", "DIRKTXT"};
        const char* values[] = {"7", "3", "10", "0", "5", "2", "9", "4"};
        for (int i = 0; i < 8; ++i) {
            child<QLineEdit>(window, boxes[i])->setText(values[i]);
        }
        child<QSlider>(window, "AISLDR")->setValue(14);
        for (const char* button : {"ShortOPT", "WhiteOPT", "ApplyCMD"}) {
            child(window, button)->click();
        }
    };
}

// The same edit as an import file.
std::string playerRow(int player) {
    return "index,speed,three_point,dunk,pass,power,steal,block,clutch,ai,height,skin\n" +
           std::to_string(player) + ",7,3,10,0,5,2,9,4,14,small,white\n";
}

const std::string kUnknown =
    "\"IMAGE\" is not an image of a known release of the game (Beta, Europe, Japan, North "
    "America or the Old School Edition).";
const std::vector<std::string> kImport = {"players", "import", "IMAGE", "FILE"};

struct Case {
    const char* name;
    test::ImageOptions options;
    std::vector<std::pair<std::uint32_t, std::uint8_t>> bytes;  // changed in the test image
    std::string shown;  // a part of the window's first message ("IMAGE": its path)
    bool opens;
    Act inWindow;
    std::vector<std::vector<std::string>> commands;  // "FILE" stands for the text below
    std::string file;
    std::string err;  // a part of the last command's standard error: it ends with exit code 1
};

// clang-format off
const Case kCases[] = {
    {"FirstByteZero", {}, {{0, 0}}, "So you want to load a ROM or what?", false, {},
     {{"cheats", "set", "IMAGE", "--byte1", "1"}}, "",
     "\"IMAGE\" starts with a 0 byte, so it is not taken as a ROM image.\nNothing was written."},
    {"UnknownRelease", {}, {{0x8422, 'x'}}, kUnknown + " The editor will not change it.", false,
     {}, {{"rosters", "end", "IMAGE", "0", "1"}}, "", kUnknown + "\nNothing was written."},
    {"EndsInsideThePlayerTable", {.size = 0x1FC000}, {},
     "The player data of this file cannot be edited.", true, {},
     {{"players", "export", "IMAGE"}}, "",
     "\"IMAGE\": the file ends at $1FC000, inside the player table"},
    {"NoPlayerData", {.release = Release::Europe}, {},
     "Please note you cannot edit the Players' data with this version of the ROM.", true, {},
     {{"relocate", "IMAGE"}}, "",
     "\"IMAGE\": the player data of the Europe release cannot be edited.\nNothing was written."},
    {"Player140BeforeRelocation", {}, {}, "", true, applyPlayer(140), {kImport}, playerRow(140),
     ""},
    {"Player168Relocated", {}, {}, "", true, applyPlayer(168, true),
     {{"relocate", "IMAGE"}, kImport}, playerRow(168), ""},
};
// clang-format on

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

class WindowAndCli : public ::testing::TestWithParam<Case> {};

TEST_P(WindowAndCli, SayTheSameAndWriteTheSameBytes) {
    const Case& c = GetParam();
    test::TempDir dir;
    test::Image image(c.options);
    for (auto [offset, value] : c.bytes) {
        image.at(offset) = value;
    }
    const std::string byWindow = dir.file("window.sfc");
    const std::string byCli = dir.file("cli.sfc");
    image.writeTo(byWindow);
    image.writeTo(byCli);

    test::FakePlatform fake;
    fake.messages.answers.push_back(true);  // "Are you sure?"
    MainWindow window(fake.platform(), "/opt/editor");
    fake.files.answers.push_back(QString::fromStdString(byWindow));
    window.Form_Load();
    EXPECT_EQ(window.romOpen(), c.opens);
    if (c.inWindow) {
        c.inWindow(&window);
    }
    const std::string shown =
        fake.messages.shown.empty() ? "" : fake.messages.shown[0].text.toStdString();
    EXPECT_EQ(shown.empty(), c.shown.empty());
    EXPECT_NE(shown.find(test::substituted(c.shown, byWindow)), std::string::npos) << shown;
    window.close();

    test::writeText(dir.file("edit.csv"), c.file);
    test::CliRun run;
    for (const std::vector<std::string>& command : c.commands) {
        run = test::runCli(command, byCli, dir.file("edit.csv"));
    }
    EXPECT_EQ(run.code, c.err.empty() ? 0 : 1);
    EXPECT_NE(run.err.find(test::substituted(c.err, byCli)), std::string::npos) << run.err;
    EXPECT_EQ(test::readFile(byWindow), test::readFile(byCli));
    EXPECT_EQ(test::readFile(byCli) == image.bytes(), !c.inWindow);
}

INSTANTIATE_TEST_SUITE_P(Cases, WindowAndCli, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace slamwise
