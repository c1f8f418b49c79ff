// What slamwise does with input it cannot use, and that a dry run is the real run stopped before
// the write.
#include <gtest/gtest.h>

#include <regex>

#include "rom/RomFile.h"
#include "tests/support/CliRunner.h"
#include "tests/support/Unprivileged.h"

namespace slamwise {
namespace {

using test::Image;
using test::readFile;
using test::runCli;

std::string replaced(const std::string& text, const std::string& from, const std::string& to) {
    return std::regex_replace(text, std::regex(from), to);
}

struct BadInput {
    const char* what;  // "players" or "rosters"
    const char* name;  // the import file's name
    std::string text;
    std::string err;
};

// "FILE" stands for the import file's path. Every case is refused with exit 1 and exactly these
// lines, and nothing is written.
const BadInput kBadInputs[] = {
    {"players", "empty.csv", "index,speed\n,5\n", "FILE:2: index is empty\n"},
    {"players", "commas.csv", "index,speed,dunk\n,,\n", "FILE:2: index is empty\n"},
    {"players", "null.json", "[{\"index\": null}]", "FILE:1: index is empty\n"},
    {"players", "cells.csv", "index,speed,dunk,ai,skin,height\n0,,-1,2.5,purple,tall\n",
     "FILE:2: speed is empty\n"
     "FILE:2: ai \"2.5\" is not a whole number\n"
     "FILE:2: skin \"purple\" is not \"black\", \"black-unused\" or \"white\"\n"
     "FILE:2: height \"tall\" is not \"normal\" or \"small\"\n"
     "FILE:2: dunk \"-1\" is not a rating from 0 to 10\n"},
    {"players", "large.csv", "index,three_point,clutch,ai\n0,99999999999999999999,9999999999,17\n",
     "FILE:2: three_point \"99999999999999999999\" is not a whole number\n"
     "FILE:2: clutch \"9999999999\" is not a rating from 0 to 10\n"
     "FILE:2: ai \"17\" is not a slider position from 0 to 16\n"},
    {"players", "index.csv", "index\n169\n-1\n0x10\n16\n",
     "FILE:2: index \"169\" is not a player (0 to 168)\n"
     "FILE:3: index \"-1\" is not a player (0 to 168)\n"
     "FILE:5: index \"16\" gives player 16 again, after line 4\n"},
    {"players", "kept.csv", "index,value,speed,visual_speed\n140,999,raw:0x0001,4\n",
     "FILE:2: value \"999\" differs from the image's 96; the player value is never written\n"
     "FILE:2: speed \"raw:0x0001\" differs from the image's raw:0x3B4A; a raw value cannot be "
     "written, only kept\n"
     "FILE:2: visual_speed \"4\" cannot be given: player 140 has no visual record before the "
     "visual data is relocated\n"},
    {"players", "cells.json", "[{\"index\": 0, \"pass\": true, \"power\": 1e400}]",
     "FILE:1: not well-formed JSON\n"},
    {"players", "shape.csv", "index,speed,dunk\n0,1\n0,1,2,3\n",
     "FILE:2: 2 cells, the header has 3: no cell for \"dunk\"\n"
     "FILE:3: 4 cells, the header has 3: a cell beyond the last column \"dunk\"\n"},
    {"players", "columns.csv", "speed,colour,speed\n1,red,2\n",
     "FILE:1: unknown column \"colour\"\nFILE:1: column \"speed\" appears twice\n"
     "FILE:1: missing column \"index\"\n"},
    {"players", "nothing.csv", "", "FILE:1: the file has no header row\n"},
    {"players", "garbage.csv",
     "\x7F"
     "ELF\x02\x01\x01\xFF\xFE,\x80\n",
     "FILE:1: the header row is not UTF-8 text\n"},
    {"players", "latin1.csv", "index,skin\n0,wh\xE9te\n",
     "FILE:2: column \"skin\" holds text that is not UTF-8\n"},
    {"players", "quote.csv", "index,skin\n0,\"white\n",
     "FILE:2: column \"skin\": a quoted field is not closed\n"},
    {"players", "object.json", "{\"index\": 0}", "FILE:1: expected a JSON array of objects\n"},
    {"players", "numbers.json", "[\n1]", "FILE:2: expected a JSON object\n"},
    {"players", "twice.json", "[{\"index\": 0,\n \"index\": 1}]",
     "FILE:1: column \"index\" appears twice\n"},
    {"players", "deep.json", "[{\"index\": " + std::string(100000, '[') + "}]",
     "FILE:1: \"index\" must be a number or a text\n"},
    {"players", "deeper.json", std::string(100000, '['), "FILE:1: expected a JSON object\n"},
    {"players", "broken.json", "[{\"index\": 0},\n{\"index\" 1}]",
     "FILE:2: not well-formed JSON\n"},
    {"rosters", "empty.csv", "team,slot,position1\n,1,2\n0,,2\n0,1,\n",
     "FILE:2: team is empty\nFILE:3: slot is empty\nFILE:4: position1 is empty\n"},
    {"rosters", "range.csv", "slot,team,position1,position2\n21,0,1,2\n1,29,0x100,-1\n1,0,1.5,2\n",
     "FILE:2: team 0 slot 21 is not in the roster table (teams 0 to 28, slots 1 to 20)\n"
     "FILE:3: position1 \"0x100\" is not a code from 0 to 255 (0x00 to 0xFF)\n"
     "FILE:3: position2 \"-1\" is not a code from 0 to 255 (0x00 to 0xFF)\n"
     "FILE:4: position1 \"1.5\" is not a code from 0 to 255 (0x00 to 0xFF)\n"},
    {"rosters", "twice.json", "[{\"team\": 0, \"slot\": 1},\n {\"team\": 0, \"slot\": 1}]",
     "FILE:2: team 0 slot 1 is given again, after line 1\n"},
};

TEST(CliInput, EveryMalformedCellRowOrFileIsRefusedAndWritesNothing) {
    test::TempDir dir;
    Image image({.seed = 5});
    image.at(0x1FB8CF + 140 * 26) = 96;            // player 140's value
    image.put16(0x1FB8CF + 140 * 26 + 4, 0x3B4A);  // and a speed code of no rating
    const std::string path = image.writeTo(dir.file("game.sfc"));
    for (const BadInput& input : kBadInputs) {
        const std::string file = dir.file(input.name);
        test::writeText(file, input.text);
        for (bool dryRun : {false, true}) {
            std::vector<std::string> args = {input.what, "import", path, file};
            if (dryRun) {
                args.push_back("--dry-run");
            }
            test::CliRun run = runCli(args);
            EXPECT_EQ(run.code, 1) << input.name;
            EXPECT_EQ(run.err, replaced(input.err, "FILE", file) + "Nothing was written.\n")
                << input.what << " " << input.name;
        }
    }
    EXPECT_EQ(readFile(path), image.bytes());
}

TEST(CliInput, ByteOrderMarksAndCrlfLineEndsAreAccepted) {
    test::TempDir dir;
    Image image({.seed = 5});
    const std::string path = image.writeTo(dir.file("game.sfc"));
    const std::pair<const char*, std::string> files[] = {
        {"a.csv", "\xEF\xBB\xBFteam,slot,position1\r\n3,6,0x12\r\n"},
        {"b.json", "\xEF\xBB\xBF[{\"team\": 3, \"slot\": 6, \"position2\": \"0x34\"}]\r\n"},
    };
    for (const auto& [name, text] : files) {
        test::writeText(dir.file(name), text);
        test::CliRun run = runCli({"rosters", "import", path, dir.file(name)});
        EXPECT_EQ(run.code, 0) << run.err;
    }
    std::vector<std::uint8_t> expected = image.bytes();
    expected[0xB18CF + 3 * 80 + 5 * 4] = 0x12;
    expected[0xB18CF + 3 * 80 + 5 * 4 + 2] = 0x34;
    EXPECT_EQ(readFile(path), expected);
}

// A names file with mistakes is a warning, unless the command prints the names it lacks.
TEST(CliInput, BrokenNamesFilesBlockOnlyTheCommandsThatPrintTheirNames) {
    test::TempDir dir;
    const std::string path = Image().writeTo(dir.file("game.sfc"));
    test::writeText(dir.file("rows.csv"), "team,slot\n0,1\n");
    const std::string warning =
        "The names file has mistakes: placeholder names stand in for the lines it cannot read.\n";
    const std::string refusal =
        "The names file has mistakes in names that this command prints: correct it, or name "
        "another with --names.\n";
    struct Case {
        std::string names;
        std::vector<std::string> command;
        int code;
        std::string err;
    };
    const Case cases[] = {
        {"head 99 = X\n",
         {"players", "export", path},
         0,
         ":1: head 99 is out of range (0 to 79)\n" + warning},
        {"team 1 =\n", {"rosters", "export", path}, 1, ":1: team 1 has an empty name\n" + refusal},
        {"coach 1 = X\n",
         {"rosters", "import", path, dir.file("rows.csv")},
         0,
         ":1: unknown kind \"coach\" (expected player, team or head)\n" + warning},
    };
    for (const Case& c : cases) {
        test::writeText(path + ".names", c.names);
        test::CliRun run = runCli(c.command);
        EXPECT_EQ(run.code, c.code) << c.names;
        EXPECT_EQ(run.err, path + ".names" + c.err) << c.names;
    }
}

// Each command runs as a dry run and for real on copies of the same file: the same exit code, the
// same messages, and the real run changes exactly the bytes the dry run lists.
TEST(CliInput, ADryRunIsTheRealRunStoppedBeforeTheWrite) {
    test::TempDir dir;
    test::writeText(dir.file("players.csv"), "index,speed,skin\n3,7,white\n140,9,black\n");
    test::writeText(dir.file("bad.csv"), "index,speed\n3,11\n");
    struct Case {
        Release release;
        std::size_t size;
        std::vector<std::string> command;  // the image comes third
        int code;
        bool relocated = false;
        bool strayJournal = false;  // a file beside the image where its journal goes
    };
    const Case cases[] = {
        {Release::Japan, 0x200000, {"players", "import", "", dir.file("players.csv")}, 0},
        {Release::Japan, 0x200000, {"players", "import", "", dir.file("bad.csv")}, 1},
        {Release::Japan, 0x1FC000, {"players", "import", "", dir.file("players.csv")}, 1},
        {Release::Beta, 0x200000, {"players", "import", "", dir.file("players.csv")}, 1},
        {Release::NorthAmerica, 0x200000, {"rosters", "end", "", "28", "20"}, 0},
        {Release::NorthAmerica, 0x200000, {"rosters", "end", "", "29", "1"}, 1},
        {Release::OldSchool, 0x200000, {"cheats", "set", "", "--byte1", "0x81"}, 0},
        {Release::Europe, 0x200000, {"cheats", "set", "", "--byte1", "0x81"}, 1},
        {Release::NorthAmerica, 0x200000, {"relocate", ""}, 0},
        {Release::NorthAmerica, 0x90000, {"relocate", ""}, 1},
        {Release::NorthAmerica, 0x200000, {"relocate", ""}, 1, true},
        {Release::Japan, 0x200000, {"cheats", "set", "", "--on", "Max Power"}, 1, false, true},
    };
    for (const Case& c : cases) {
        Image image({.release = c.release, .size = c.size});
        if (c.relocated) {
            image.at(0x27001) = image.at(0x27801) = 0;
        }
        std::vector<test::CliRun> runs;
        for (const char* name : {"dry.sfc", "real.sfc"}) {
            std::vector<std::string> args = c.command;
            const std::string path = image.writeTo(dir.file(name));
            args[args[0] == "relocate" ? 1 : 2] = path;
            if (c.strayJournal) {
                test::writeText(path + "-journal", "not a journal");
            }
            if (runs.empty()) {
                args.push_back("--dry-run");
            }
            runs.push_back(runCli(args));
        }
        const std::string label = c.command[0] + " " + c.command[1];
        EXPECT_EQ(runs[0].code, c.code) << label << runs[0].err;
        EXPECT_EQ(runs[1].code, c.code) << label << runs[1].err;
        EXPECT_EQ(replaced(runs[0].err, "dry.sfc", "real.sfc"), runs[1].err) << label;
        EXPECT_EQ(readFile(dir.file("dry.sfc")), image.bytes()) << label;
        std::string listed;
        for (std::uint32_t offset :
             test::changedOffsets(image.bytes(), readFile(dir.file("real.sfc")))) {
            char line[48];
            std::snprintf(line, sizeof line, "$%X: %02X -> %02X\n", offset, image.bytes()[offset],
                          readFile(dir.file("real.sfc"))[offset]);
            listed += line;
        }
        EXPECT_EQ(runs[0].out.substr(runs[0].out.find('\n') + 1), c.code == 0 ? listed : "")
            << label;
    }
}

// The change can be undone only by writing the file: a reading command says which file.
TEST(CliInput, AnUnfinishedChangeToAFileThatIsNotWritableIsNamed) {
    test::TempDir dir;
    test::Unprivileged::openUp(dir.path());
    const std::string path = Image().writeTo(dir.file("game.sfc"));
    const std::string journal = RomFile::journalPathFor(path);
    test::writeText(journal, "an unfinished change");
    ::chmod(path.c_str(), 0444);
    test::CliRun run;
    {
        test::Unprivileged nobody;
        run = runCli({"rosters", "export", path});
    }
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, "\"" + path + "\" has an unfinished change recorded in \"" + journal +
                           "\". Make \"" + path +
                           "\" writable so that the change can be undone, then try again.\n");
}

}  // namespace
}  // namespace slamwise
