// What each slamwise command prints and writes when its input is good, and what it does with
// input it cannot use: a clear message, and nothing written.
#include <gtest/gtest.h>

#include <filesystem>

#include "storage/FaultInjection.h"
#include "tests/support/CliRunner.h"
#include "tests/support/Unprivileged.h"

namespace slamwise {
namespace {

using namespace std::string_literals;
using test::Image;
using test::readFile;
using test::runCli;
using test::with;
namespace fs = std::filesystem;
using Bytes = std::vector<std::pair<std::uint32_t, std::uint8_t>>;

const std::vector<std::string> kPlayers = {"players", "import", "IMAGE", "FILE"};
const std::vector<std::string> kRosters = {"rosters", "import", "IMAGE", "FILE"};
constexpr std::uint32_t kSlot = 0xB18CF + 3 * 80 + 5 * 4;  // team 3, slot 6
// Two records: one byte 0x01 at 0x10, one byte 0x02 at 0x8000.
const std::string kIps = "PATCH\0\0\x10\0\x01\x01\0\x80\0\0\x01\x02\x45OF"s;  // \x45 is 'E'

// Player i at speed 5, three-point 8, dunk 7, pass 4, power 10, steal 9, block 2, clutch 0, AI 3,
// white and small; then the visual ratings given.
Bytes player(std::uint32_t i, const std::vector<int>& visual) {
    // clang-format off
    Bytes bytes = {{0x02, 1}, {0x04, 0x9F}, {0x05, 0x15}, {0x06, 0x60}, {0x07, 0x04}, {0x08, 7},
                   {0x0A, 2}, {0x0C, 9}, {0x0E, 0xF8}, {0x0F, 0xFF}, {0x10, 4}, {0x12, 10},
                   {0x14, 0}, {0x16, 0x89}, {0x17, 0xB7}};
    // clang-format on
    for (auto& [offset, value] : bytes) {
        offset += 0x1FB8CF + 26 * i;
    }
    for (std::uint32_t r = 0; r < visual.size(); ++r) {
        bytes.push_back({0x930C9 + 16 * i + 2 * r, static_cast<std::uint8_t>(visual[r])});
    }
    return bytes;
}

TEST(Cli, WriteExactlyTheBytesAsked) {
    const std::uint32_t end = 0xB18CF + 28 * 80 + 19 * 4;  // team 28, slot 20
    const Bytes player3 = player(3, {5, 8, 7, 4, 10, 9, 2, 0});
    Image image({.copierHeader = true, .seed = 5});
    image.at(0x179C4) = 0x00;
    image.at(0x179C5) = 0x80;
    const struct {
        std::vector<std::string> args;  // "IMAGE" and "FILE" stand for the image and the text below
        std::string file;
        Bytes bytes;  // none: the bytes are the core's, here only the dry run counts
    } cases[] = {
        // clang-format off
        {kPlayers, "index,speed,three_point,dunk,pass,power,steal,block,clutch,ai,skin,height\n"
                   "3,5,8,7,4,10,9,2,0,3,white,small\n", player3},
        {kPlayers, "[{\"index\": 3, \"speed\": 5, \"three_point\": 8, \"dunk\": 7, \"pass\": 4, "
                   "\"power\": 10, \"steal\": 9, \"block\": 2, \"clutch\": 0, \"ai\": 3, \"skin\": "
                   "\"white\", \"height\": \"small\"}]", player3},
        {kPlayers, "index;speed;three_point;dunk;pass;power;steal;block;clutch;ai;\"skin\";height\n"
                   "3;5;8;7;4;10;9;2;0;3;\"white\";small\n", player3},
        {kRosters, "\xEF\xBB\xBFteam,slot,position1\r\n3,6,0x12\r\n", {{kSlot, 0x12}}},
        {kRosters, "team\tslot\tposition2\r\n3\t6\t\"0x34\"\r\n", {{kSlot + 2, 0x34}}},
        {kRosters, "\xEF\xBB\xBF[{\"team\": 3, \"slot\": 6, \"position2\": \"0x34\"}]\r\n",
         {{kSlot + 2, 0x34}}},
        {{"rosters", "end", "IMAGE", "28", "20"}, "", {{end, 0xFE}, {end + 1, 0xFF}}},
        {{"cheats", "set", "IMAGE", "--on", "powerup push", "Quick Hands", "--off", "Unknown 3*"},
         "", {{0x179C4, 0x81}, {0x179C5, 0x00}}},
        {{"cheats", "set", "IMAGE", "--byte1", "0x10", "--byte2", "255"}, "",
         {{0x179C4, 0x10}, {0x179C5, 0xFF}}},
        {{"relocate", "IMAGE"}, "", {}},
        {{"checksum", "IMAGE", "--fix"}, "", {}},
        // clang-format on
    };
    test::TempDir dir;
    const std::string original = Image().writeTo(dir.file("original.sfc"));
    with(Image(), {{0x10, 1}, {0x8000, 2}}).writeTo(dir.file("edited.sfc"));
    EXPECT_EQ(runCli({"patch", "create", original, dir.file("edited.sfc"), dir.file("p.ips")}).code,
              0);
    EXPECT_EQ(readFile(dir.file("p.ips")), std::vector<std::uint8_t>(kIps.begin(), kIps.end()));
    for (auto [args, file, bytes] : cases) {
        // A dry run lists the bytes the real run changes, and writes nothing.
        test::writeText(dir.file("file.ips"), file);
        const std::string path = image.writeTo(dir.file("game.sfc"));
        args.push_back("--dry-run");
        test::CliRun dry = runCli(args, path, dir.file("file.ips"));
        EXPECT_EQ(readFile(path), image.bytes()) << args[0];
        args.pop_back();
        test::CliRun run = runCli(args, path, dir.file("file.ips"));
        EXPECT_EQ(dry.code + run.code, 0) << args[0] << dry.err << run.err;
        const std::vector<std::uint8_t> after = readFile(path);
        EXPECT_TRUE(bytes.empty() || after == with(image, bytes).bytes()) << args[0] << file;
        std::string listed;
        for (std::uint32_t offset : test::changedOffsets(image.bytes(), after, 512)) {
            char line[48];
            std::snprintf(line, sizeof line, "$%X: %02X -> %02X\n", offset, image.at(offset),
                          after[512 + offset]);
            listed += line;
        }
        EXPECT_TRUE(!listed.empty() && dry.out.ends_with(" byte(s) would change in " + path +
                                                         "; nothing was written.\n" + listed))
            << dry.out;
    }
}

TEST(Cli, ExportThenImportChangesNothing) {
    test::TempDir dir;
    const std::string path = Image({.seed = 7}).writeTo(dir.file("game.sfc"));
    for (bool relocated : {false, true}) {
        if (relocated) {
            ASSERT_EQ(runCli({"relocate", path}).code, 0);
        }
        const std::vector<std::uint8_t> before = readFile(path);
        for (const char* what : {"players", "rosters"}) {
            for (const char* format : {"csv", "json"}) {
                test::writeText(dir.file("table"),
                                runCli({what, "export", path, "--format", format}).out);
                test::CliRun run = runCli({what, "import", path, dir.file("table")});
                EXPECT_EQ(run.out, "Changed 0 byte(s) in " + path + ".\n") << run.err;
                EXPECT_EQ(readFile(path), before) << what << format << relocated;
            }
        }
    }
}

// A command that writes nothing, or is refused: its exit code and a part of what it prints.
struct Said {
    std::vector<std::string> args;  // "IMAGE" and "FILE" stand for the image and the input file
    std::string file;               // the text of FILE
    int code;
    std::string text;  // in the standard output or error; "FILE" and "IMAGE" stand for the paths
};

// clang-format off
const Said kSaid[] = {
    {{"info", "IMAGE"}, "", 0,
     "File:          IMAGE\nRelease:       North America (NA)\nTitle:         \"SLAMWISE TEST "
     "COPY   \"\nCopier header: yes\nPlayer data:   yes\nVisual data:   not relocated\n"
     "Rosters:       yes\nCheats:        yes\nFile size:     2097664 bytes\nChecksum:      stored 0x"},
    {{"players", "export", "IMAGE"}, "", 0,
     "index,name,value,height,speed,three_point,dunk,pass,power,steal,block,clutch,ai,skin,"
     "visual_speed,visual_three_point,visual_dunk,visual_pass,visual_power,visual_steal,"
     "visual_block,visual_clutch\n"},
    {{"players", "export", "IMAGE"}, "", 0,
     "\n3,Player 003,31,small,5,8,7,4,10,9,2,0,3,white,20,21,22,23,24,25,26,27\n4,Player 004,31,"
     "raw:0x02,raw:0x1234,8,raw:0x0F,4,10,9,2,0,raw:0x0006,raw:0x0000,20,21,22,23,24,25,26,27\n"},
    {{"players", "export", "IMAGE", "--format", "json"}, "", 0,
     "{\"index\":3,\"name\":\"Player 003\",\"value\":31,\"height\":\"small\",\"speed\":5,"
     "\"three_point\":8,\"dunk\":7,\"pass\":4,"},
    {{"rosters", "export", "IMAGE", "--format", "json"}, "", 0, "{\"team\":3,\"team_name\":\"Team "
     "04\",\"slot\":6,\"position1\":\"0x12\",\"position1_name\":\"12-Player 018\",\"position2\":"
     "\"0xFE\",\"position2_name\":\"FE-End of Team Roster Data\"}"},
    {{"cheats", "get", "IMAGE"}, "", 0, "Cheat byte 1: 0x81\n  [x] Powerup Push\n  [ ] Powerup 3"},
    {{"checksum", "IMAGE"}, "", 0, "Checksum:      stored 0x"},
    {{"cheats", "set", "--help"}, "", 0, "Usage: slamwise"},
    {{"--list-commands"}, "", 0, "info\nplayers export\nplayers import\nrosters export\nrosters "
     "import\nrosters end\ncheats get\ncheats set\nrelocate\nchecksum\npatch create\npatch apply\n"},
    {{}, "", 2, "A subcommand is required"},
    {{"cheats", "set", "IMAGE"}, "", 2, "give --byte1/--byte2, or --on/--off"},
    {{"checksum", "IMAGE", "--dry-run"}, "", 2, "requires --fix"},
    {{"info", "IMAGE.tiny"}, "", 1, "IMAGE.tiny\nFile size:     100 bytes\nRefused:       \"IMAGE.tiny"
     "\" is not a ROM image: at 100 bytes"},
    {{"info", "IMAGE.cut"}, "", 0, "Player data:   no (the file ends at $186A0, before the player "
     "table)\nVisual data:   not held (the file ends at $186A0, before the area the relocation "
     "reads and writes)\nRosters:       no (the file ends at $186A0, before the roster table)\n"
     "Cheats:        yes\nFile size:     100000 bytes\n"},
    {{"cheats", "set", "IMAGE.huge", "--byte1", "1"}, "", 1, "not an image of a known release"},
    {{"relocate", "IMAGE.locked"}, "", 1, "for reading and writing: Permission denied."},
    {{"info", "IMAGE.stopped"}, "", 1, "The journal \"IMAGE.stopped-journal\" beside this file is "
     "damaged or unreadable, so it was not used."},
    {{"info", "IMAGE.stopped", "--ignore-journal"}, "", 0, "Read as it is: the data of "
     "\"IMAGE.stopped\" may be half-written.\n"},
    {{"relocate", "IMAGE.gone"}, "", 1, "\"IMAGE.gone\" for reading and writing: No such file or"},
    {kPlayers, "index,speed\n,5\n", 1, "FILE:2: index is empty\nNothing was written.\n"},
    {{"players", "import", "IMAGE", "FILE", "--dry-run"}, "index;\"name\"\n3;\"a;\"\"b\"\"\"\n", 0,
     "Reading FILE with \";\" between fields.\n"},
    {kPlayers, "\"index\";speed,dunk\n0;1,2\n", 1, "FILE:1: unknown column \"speed,dunk\"\n"},
    {{"rosters", "import", "IMAGE", "FILE", "--dry-run"}, "team\tslot\n\"3\"\t\"6\t\"\n", 0,
     "Reading FILE with a tab between fields.\n"},
    {kRosters, "team\tslot\tposition1\n0\t1\n", 1, "FILE:2: 2 cells, the header has 3"},
    {{"players", "import", "IMAGE", "FILE", "--dry-run"}, "index\n0\n0\n", 1,
     "FILE:3: index \"0\" gives player 0 again, after line 2\nNothing was written.\n"},
    {kPlayers, "index,ai,skin,height\n0,2.5,purple,tall\n", 1,
     "FILE:2: ai \"2.5\" is not a whole number\n"
     "FILE:2: skin \"purple\" is not \"black\", \"black-unused\" or \"white\"\n"
     "FILE:2: height \"tall\" is not \"normal\" or \"small\"\n"},
    {kPlayers, "index,dunk,speed,ai\n0,-1,11,17\n", 1,
     "FILE:2: speed \"11\" is not a rating from 0 to 10\n"
     "FILE:2: dunk \"-1\" is not a rating from 0 to 10\n"
     "FILE:2: ai \"17\" is not a slider position from 0 to 16\n"},
    {kPlayers, "index\n169\n-1\n", 1, "FILE:2: index \"169\" is not a player (0 to 168)\nFILE:3:"},
    {kPlayers, "index,value,speed,visual_speed\n140,999,raw:0x0001,4\n", 1,
     "FILE:2: value \"999\" differs from the image's 96; the player value is never written\n"
     "FILE:2: speed \"raw:0x0001\" differs from the image's raw:0x3B4A; a raw value cannot be "
     "written, only kept\nFILE:2: visual_speed \"4\" cannot be given: player 140 has no visual "
     "record before the visual data is relocated\n"},
    {kPlayers, "index,speed,dunk\n0,1\n", 1, "FILE:2: 2 cells, the header has 3: no cell for"},
    {kPlayers, "speed,colour\n1,red\n", 1, "unknown column \"colour\"\nFILE:1: missing column \""},
    {kPlayers, "", 1, "FILE:1: the file has no header row\n"},
    {kPlayers, "\x7F" "ELF\x02\xFF\xFE,\x80\n", 1, "FILE:1: the header row is not UTF-8 text\n"},
    {kPlayers, "index,name\n0,Player \xE9\n", 1, "FILE:2: column \"name\" holds text that is not"},
    {kPlayers, "index,skin\n0,\"white\n", 1, "FILE:2: column \"skin\": a quoted field is not"},
    {kPlayers, "[{\"index\": 0},\n{\"index\" 1}]", 1, "FILE:2: not well-formed JSON\n"},
    {{"players", "import", "IMAGE", "FILE.gone"}, "", 1, "No such file or directory"},
    {kRosters, "slot,team,position1,position2\n21,0,1,2\n1,28,0x100,-1\n", 1,
     "FILE:2: team 0 slot 21 is not in the roster table (teams 0 to 28, slots 1 to 20)\n"
     "FILE:3: position1 \"0x100\" is not a code from 0 to 255 (0x00 to 0xFF)\n"
     "FILE:3: position2 \"-1\" is not a code from 0 to 255 (0x00 to 0xFF)\n"},
    {kRosters, "[{\"team\": 0, \"slot\": 1},\n {\"team\": 0, \"slot\": 1}]", 1,
     "FILE:2: team 0 slot 1 is given again, after line 1\n"},
    {{"rosters", "end", "IMAGE", "29", "1", "--dry-run"}, "", 1, "not in the roster table"},
    {{"relocate", "IMAGE.europe", "--dry-run"}, "", 1, "player data of the Europe release cannot"},
    {{"players", "import", "IMAGE.beta", "FILE"}, "index\n0\n", 1, "player data of the Beta"},
    {{"cheats", "set", "IMAGE.europe", "--byte1", "1"}, "", 1, "cheat codes of the Europe release"},
    {{"cheats", "set", "IMAGE", "--byte1", "256"}, "", 1, "--byte1 \"256\" is not a byte"},
    {{"cheats", "set", "IMAGE", "--byte2", "-1", "--dry-run"}, "", 1, "--byte2 \"-1\" is not a"},
    {{"checksum", "IMAGE.other", "--fix", "--dry-run"}, "", 1, "known release of the game (Beta"},
    {{"cheats", "set", "IMAGE", "--on", "Nope"}, "", 1, "no cheat switch is called \"Nope\""},
    {{"patch", "apply", "IMAGE", "FILE.ips", "--dry-run"}, "", 1, "No such file or directory"},
    {{"patch", "create", "IMAGE", "IMAGE", "FILE.txt"}, "", 1, "Cannot tell the format"},
    {{"rosters", "export", "IMAGE", "--names", "FILE"}, "team 1 =\n", 1, "FILE:1: team 1 has an "
     "empty name\nThe names file has mistakes in names that this command prints: correct it"},
    {{"players", "export", "IMAGE", "--names", "FILE"}, "head 99 = X\n", 0, "FILE:1: head 99 is "
     "out of range (0 to 79)\nThe names file has mistakes: placeholder names stand in for"},
};
// clang-format on

// The image has a copier header; "IMAGE.tiny" and the like are the files a user may pick by
// mistake, made beside it.
TEST(Cli, EveryCommandThatWritesNothingSaysWhyAndLeavesEveryFileAlone) {
    test::TempDir dir;
    fs::permissions(dir.path(), fs::perms::all);
    const std::vector<int> visual = {20, 21, 22, 23, 24, 25, 26, 27};
    Image image =
        with(Image({.copierHeader = true, .title = "SLAMWISE TEST COPY   "}), player(3, visual));
    // Player 4 as player 3 with raw height, speed, dunk, AI and skin; player 140 worth 96 with a
    // raw speed.
    const std::uint32_t p4 = 0x1FB8CF + 4 * 26, p140 = 0x1FB8CF + 140 * 26;
    // clang-format off
    image = with(with(image, player(4, visual)),
                 {{p4 - 26, 31}, {p4, 31}, {p4 + 2, 2}, {p4 + 4, 0x34}, {p4 + 5, 0x12},
                  {p4 + 8, 15}, {p4 + 14, 6}, {p4 + 15, 0}, {p4 + 22, 0}, {p4 + 23, 0},
                  {p140, 96}, {p140 + 4, 0x4A}, {p140 + 5, 0x3B}, {kSlot, 0x12}, {kSlot + 2, 0xFE},
                  {0x179C4, 0x81}});
    // clang-format on
    const std::string path = image.writeTo(dir.file("game.sfc"));
    for (auto [name, size] : {std::pair{".tiny", 100}, {".other", 0x200000}, {".huge", 0x200000}}) {
        test::writeFile(path + name, std::vector<std::uint8_t>(size, 7));
    }
    fs::resize_file(path + ".huge", std::uintmax_t{1} << 32);
    fs::resize_file(Image().writeTo(path + ".cut"), 100000);
    test::writeText(path + ".stopped-journal", "an unfinished change");
    Image({.release = Release::Beta}).writeTo(path + ".beta");
    Image({.release = Release::Europe}).writeTo(path + ".europe");
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        fs::permissions(entry, fs::perms::others_write, fs::perm_options::add);
    }
    for (const char* name : {".locked", ".stopped"}) {
        fs::permissions(image.writeTo(path + name), fs::perms::owner_read | fs::perms::others_read);
    }
    const std::string file = dir.file("input");
    test::Unprivileged nobody;
    for (const Said& said : kSaid) {
        test::writeText(file, said.file);
        test::CliRun run = runCli(said.args, path, file);
        EXPECT_EQ(run.code, said.code) << said.text;
        const std::string text = test::substituted(said.text, path, file);
        EXPECT_NE((run.out + run.err).find(text), std::string::npos) << text << "\nnot in\n"
                                                                     << run.out + run.err;
    }
    for (const char* name : {"", ".locked", ".stopped"}) {
        EXPECT_EQ(readFile(path + name), image.bytes()) << name;
    }
    EXPECT_EQ(fs::file_size(path + ".huge"), std::uintmax_t{1} << 32);
    EXPECT_FALSE(fs::exists(path + ".gone"));
}

// A read of an input file that fails, at its first read or a later one, is never taken for the end
// of the file: the command says why, exits 1 and writes nothing.
TEST(Cli, AFailingReadOfAnInputFileWritesNothing) {
    test::TempDir dir;
    const std::string path = Image().writeTo(dir.file("game.sfc"));
    const std::vector<std::uint8_t> image = readFile(path);
    std::string csv = "team,slot,position1\n";
    for (int team = 0; team < 29; ++team) {
        csv += std::to_string(team) + ",1,0x12\n";
    }
    const struct {
        std::vector<std::string> args;
        std::string file;
        const char* said;
    } cases[] = {
        {kRosters, csv, "Cannot read \"FILE\": Input/output error.\nNothing was written.\n"},
        {{"rosters", "import", "IMAGE", "FILE", "--names", "FILE"},
         csv,
         "Cannot read the names file \"FILE\": Input/output error.\nNothing was written.\n"},
        {{"rosters", "export", "IMAGE", "--names", "FILE"},
         "team 1 = A\n",
         "Cannot read the names file \"FILE\": Input/output error.\n"},
        {{"patch", "apply", "IMAGE", "FILE.ips"},
         kIps,
         "The patch \"FILE.ips\" cannot be read: Input/output error."},
    };
    for (const auto& [args, text, said] : cases) {
        for (long nth : {1, 2}) {
            SCOPED_TRACE(args[0] + " " + args[1] + ", read " + std::to_string(nth));
            test::writeText(dir.file("input"), text);
            test::writeText(dir.file("input.ips"), text);
            FaultPlan plan{.at = nth, .only = FileCall::Read};
            test::CliRun run;
            {
                ScopedFaultPlan scoped(plan);
                run = runCli(args, path, dir.file("input"));
            }
            EXPECT_TRUE(plan.fired);
            EXPECT_EQ(run.code, 1);
            EXPECT_EQ(run.out, "");
            EXPECT_NE(run.err.find(test::substituted(said, path, dir.file("input"))),
                      std::string::npos)
                << run.err;
            EXPECT_EQ(readFile(path), image);
        }
    }
}

}  // namespace
}  // namespace slamwise
