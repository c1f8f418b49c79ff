#include <gtest/gtest.h>

#include "player/ActualTable.h"
#include "player/Relocation.h"
#include "player/VisualTable.h"
#include "tests/support/CliRunner.h"
#include "tests/support/ImageBuilder.h"
#include "tools/Csv.h"

namespace slamwise {
namespace {

using test::changedOffsets;
using test::Image;
using test::readFile;
using test::runCli;

// Values every field of which has a meaning, as the window would hold them.
PlayerValues windowValues() {
    PlayerValues values;
    values.dunk = 7;
    values.block = 2;
    values.steal = 9;
    values.pass = 4;
    values.power = 10;
    values.clutch = 0;
    values.speed = 5;
    values.three = 8;
    values.aiSlider = 3;
    values.skin = Skin::White;
    values.height = kHeightSmall;
    return values;
}

VisualRatings visualOf(const PlayerValues& v) {
    return {static_cast<std::uint8_t>(*v.speed),
            static_cast<std::uint8_t>(*v.three),
            v.dunk,
            v.pass,
            v.power,
            v.steal,
            v.block,
            v.clutch};
}

// Gives a player of the image well-defined fields, straight into its bytes.
void putPlayer(Image& image, int player, const PlayerValues& v) {
    const std::uint32_t base = actualOffset(player);
    image.at(base + kDunkField) = v.dunk;
    image.at(base + kBlockField) = v.block;
    image.at(base + kStealField) = v.steal;
    image.at(base + kPassField) = v.pass;
    image.at(base + kPowerField) = v.power;
    image.at(base + kClutchField) = v.clutch;
    image.put16(base + kSpeedField, *codeFromSpeed(*v.speed));
    image.put16(base + kThreeField, *codeFromThree(*v.three));
    image.put16(base + kAiField, wordFromSlider(v.aiSlider));
    image.put16(base + kSkinField, codeFromSkin(*v.skin));
    image.at(base + kHeightField) = *v.height;
}

// The window's Apply: actual record and visual record of the layout in use, one edit.
void saveAsTheWindowDoes(const std::string& path, int player, const PlayerValues& values,
                         VisualLayout layout) {
    Result<RomFile> rom = RomFile::open(path);
    ASSERT_TRUE(rom) << rom.error();
    Edit edit;
    writePlayerRecord(edit, player, values);
    writeVisualRatings(edit, layout, player, visualOf(values));
    ASSERT_TRUE(rom->apply(edit));
}

// The export with one cell replaced.
std::string withCell(const std::string& csv, int player, const std::string& column,
                     const std::string& value) {
    cli::CsvText table = cli::parseCsv(csv);
    const std::vector<std::string>& header = table.rows.front().fields;
    auto at =
        static_cast<std::size_t>(std::find(header.begin(), header.end(), column) - header.begin());
    std::string out;
    for (cli::CsvRow& row : table.rows) {
        if (row.fields[0] == std::to_string(player)) {
            row.fields.at(at) = value;
        }
        out += cli::csvLine(row.fields);
    }
    return out;
}

class CliPlayers : public ::testing::Test {
  protected:
    std::string write(const Image& image, const std::string& name = "game.sfc") {
        return image.writeTo(dir_.file(name));
    }
    std::string exportOf(const std::string& path, const std::string& format = "csv") {
        test::CliRun run = runCli({"players", "export", path, "--format", format});
        EXPECT_EQ(run.code, 0) << run.err;
        return run.out;
    }
    test::CliRun import(const std::string& path, const std::string& text,
                        const std::string& name = "players.csv") {
        test::writeText(dir_.file(name), text);
        return runCli({"players", "import", path, dir_.file(name)});
    }
    test::TempDir dir_;
};

TEST_F(CliPlayers, ExportThenImportOfAnUntouchedImageChangesNothing) {
    for (bool relocated : {false, true}) {
        Image image({.seed = relocated ? 7u : 8u});
        std::string path = write(image);
        if (relocated) {
            ASSERT_EQ(runCli({"relocate", path}).code, 0);
        }
        std::vector<std::uint8_t> before = readFile(path);
        for (const char* format : {"csv", "json"}) {
            test::CliRun run =
                import(path, exportOf(path, format), std::string("players.") + format);
            EXPECT_EQ(run.code, 0) << run.err;
            EXPECT_EQ(run.out, "Changed 0 byte(s) in " + path + ".\n");
            EXPECT_EQ(readFile(path), before) << format << (relocated ? " relocated" : "");
        }
    }
}

TEST_F(CliPlayers, ExportShowsDecodedFieldsAndMarksRawValues) {
    Image image;
    putPlayer(image, 3, windowValues());
    image.at(actualOffset(3) + kValueField) = 0x1F;
    image.at(actualOffset(4) + kHeightField) = 2;
    image.put16(actualOffset(4) + kSpeedField, 0x1234);
    image.at(actualOffset(4) + kDunkField) = 15;
    image.put16(actualOffset(4) + kAiField, 0x0006);
    image.put16(actualOffset(4) + kSkinField, 0x0000);
    for (int r = 0; r < kVisualRatingCount; ++r) {
        image.at(visualOffset(VisualLayout::Standard, 3) + 2 * static_cast<std::uint32_t>(r)) =
            static_cast<std::uint8_t>(20 + r);
    }
    std::string csv = exportOf(write(image));
    cli::CsvText table = cli::parseCsv(csv);
    ASSERT_EQ(table.rows.size(), 170u);
    EXPECT_EQ(cli::csvLine(table.rows[0].fields),
              "index,name,value,height,speed,three_point,dunk,pass,power,steal,block,clutch,ai,"
              "skin,visual_speed,visual_three_point,visual_dunk,visual_pass,visual_power,"
              "visual_steal,visual_block,visual_clutch\n");
    EXPECT_EQ(cli::csvLine(table.rows[4].fields),
              "3,Player 003,31,small,5,8,7,4,10,9,2,0,3,white,20,21,22,23,24,25,26,27\n");
    std::vector<std::string> raw(table.rows[5].fields.begin() + 3,
                                 table.rows[5].fields.begin() + 7);
    EXPECT_EQ(raw, (std::vector<std::string>{"raw:0x02", "raw:0x1234", table.rows[5].fields[5],
                                             "raw:0x0F"}));
    EXPECT_EQ(table.rows[5].fields[12], "raw:0x0006");
    EXPECT_EQ(table.rows[5].fields[13], "raw:0x0000");
    // No visual record for the special players before relocation.
    EXPECT_EQ(cli::csvLine(table.rows[129].fields)
                  .substr(cli::csvLine(table.rows[129].fields).find(",,")),
              ",,,,,,,,\n");
}

TEST_F(CliPlayers, OneEditedValueMatchesTheWindowsSaveByteForByte) {
    for (int player : {3, 140}) {
        for (bool relocated : {false, true}) {
            Image image({.seed = static_cast<std::uint32_t>(player)});
            putPlayer(image, player, windowValues());
            std::string path = write(image);
            std::string reference = write(image, "reference.sfc");
            if (relocated) {
                ASSERT_EQ(runCli({"relocate", path}).code, 0);
                ASSERT_EQ(runCli({"relocate", reference}).code, 0);
            }
            std::vector<std::uint8_t> before = readFile(path);

            test::CliRun run = import(path, withCell(exportOf(path), player, "speed", "9"));
            ASSERT_EQ(run.code, 0) << run.err;

            PlayerValues values = windowValues();
            values.speed = 9;
            VisualLayout layout = relocated ? VisualLayout::Relocated : VisualLayout::Standard;
            saveAsTheWindowDoes(reference, player, values, layout);
            const std::vector<std::uint8_t> saved = readFile(reference);
            EXPECT_EQ(readFile(path), saved);

            // The speed code, and the visual record where the layout has one.
            std::vector<std::uint32_t> expected = {actualOffset(player) + kSpeedField,
                                                   actualOffset(player) + kSpeedField + 1};
            if (hasVisualRecord(layout, player)) {
                for (int r = 0; r < kVisualRatingCount; ++r) {
                    std::uint32_t at =
                        visualOffset(layout, player) + 2 * static_cast<std::uint32_t>(r);
                    if (before[at] != saved[at]) {
                        expected.push_back(at);
                    }
                }
            }
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(changedOffsets(before, readFile(path)), expected)
                << "player " << player << (relocated ? " relocated" : "");
        }
    }
}

TEST_F(CliPlayers, RawFieldsAreLeftAsTheyAreWhenAPlayerIsSaved) {
    Image image;
    putPlayer(image, 4, windowValues());
    const std::uint32_t base = actualOffset(4);
    image.put16(base + kSpeedField, 0x1234);
    image.at(base + kClutchField) = 15;
    image.put16(base + kAiField, 0x8000);
    std::string path = write(image);

    test::CliRun run = import(path, withCell(exportOf(path), 4, "dunk", "1"));
    ASSERT_EQ(run.code, 0) << run.err;
    std::vector<std::uint8_t> after = readFile(path);
    EXPECT_EQ(after[base + kDunkField], 1);
    EXPECT_EQ(image.get16(base + kSpeedField), 0x1234);
    EXPECT_EQ(after[base + kSpeedField], 0x34);
    EXPECT_EQ(after[base + kClutchField], 15);
    EXPECT_EQ(after[base + kAiField + 1], 0x80);
    // The visual record gets the ratings that have a meaning, the rest stay.
    const std::uint32_t visual = visualOffset(VisualLayout::Standard, 4);
    EXPECT_EQ(after[visual + 0x00], image.at(visual + 0x00));  // speed: raw
    EXPECT_EQ(after[visual + 0x04], 1);                        // dunk
    EXPECT_EQ(after[visual + 0x0E], image.at(visual + 0x0E));  // clutch: raw
    EXPECT_EQ(after[visual + 0x02], 8);                        // three-point
}

TEST_F(CliPlayers, ASubsetOfColumnsAndRowsIsEnoughAndDryRunWritesNothing) {
    Image image;
    putPlayer(image, 0, windowValues());
    std::string path = write(image);
    test::writeText(dir_.file("few.csv"), "skin,index\r\nBLACK-UNUSED,0\r\n");
    test::CliRun dry = runCli({"players", "import", path, dir_.file("few.csv"), "--dry-run"});
    ASSERT_EQ(dry.code, 0) << dry.err;
    EXPECT_EQ(readFile(path), image.bytes());
    EXPECT_NE(dry.out.find("$1FB8E5: 89 -> 81\n"), std::string::npos) << dry.out;

    ASSERT_EQ(runCli({"players", "import", path, dir_.file("few.csv")}).code, 0);
    std::vector<std::uint8_t> after = readFile(path);
    EXPECT_EQ(after[actualOffset(0) + kSkinField], 0x81);
    EXPECT_EQ(after[actualOffset(0) + kSkinField + 1], 0xB7);
}

TEST_F(CliPlayers, EveryMalformedInputIsRefusedWithItsLineAndWritesNothing) {
    Image image;
    std::string path = write(image);
    const std::string file = dir_.file("players.csv");

    test::CliRun run = import(path,
                              "index,speed,dunk,skin,ai,height,value\n"
                              "0,11,3,white,0,normal,\n"
                              "1,5,-1,purple,17,tall,\n"
                              "0,5,3,black,16,small,\n"
                              "169,,,,,,\n"
                              "2,raw:0x0001,x,,,,999\n");
    EXPECT_EQ(run.code, 1);
    const std::uint8_t value2 = image.at(actualOffset(2) + kValueField);
    const std::uint16_t speed2 = image.get16(actualOffset(2) + kSpeedField);
    char rawSpeed[16];
    std::snprintf(rawSpeed, sizeof rawSpeed, "raw:0x%04X", speed2);
    EXPECT_EQ(run.err, file + ":2: speed \"11\" is not a rating from 0 to 10\n" + file +
                           ":3: height \"tall\" is not \"normal\" or \"small\"\n" + file +
                           ":3: dunk \"-1\" is not a rating from 0 to 10\n" + file +
                           ":3: ai \"17\" is not a slider position from 0 to 16\n" + file +
                           ":3: skin \"purple\" is not \"black\", \"black-unused\" or \"white\"\n" +
                           file + ":4: player 0 is already given on line 2\n" + file +
                           ":5: index \"169\" is not a player (0 to 168)\n" + file +
                           ":6: value \"999\" differs from the image's " + std::to_string(value2) +
                           "; the player value is never written\n" + file +
                           ":6: speed raw:0x0001 differs from the image's " + rawSpeed +
                           "; a raw value cannot be written, only kept\n" + file +
                           ":6: dunk \"x\" is not a rating from 0 to 10\n"
                           "Nothing was written.\n");

    run = import(path, "index,speed,colour\n0,1,red\n");
    EXPECT_EQ(run.err, file + ":1: unknown column \"colour\"\nNothing was written.\n");
    run = import(path, "speed,dunk\n1,2\n");
    EXPECT_EQ(run.err, file + ":1: missing column \"index\"\nNothing was written.\n");
    run = import(path, "[\n  {\"index\": 0, \"speed\": 4},\n  {\"index\": 1, \"spede\": 4}\n]\n",
                 "players.json");
    EXPECT_EQ(run.err,
              dir_.file("players.json") + ":3: unknown column \"spede\"\nNothing was written.\n");
    run = import(path, "index,visual_speed\n130,4\n");
    EXPECT_EQ(run.err, file +
                           ":2: visual_speed: player 130 has no visual record before the visual "
                           "data is relocated\nNothing was written.\n");
    EXPECT_EQ(readFile(path), image.bytes());
}

TEST_F(CliPlayers, ReleasesWithoutPlayerDataAndBadNamesFilesAreRefused) {
    for (Release release : {Release::Beta, Release::Europe, Release::OldSchool}) {
        Image image({.release = release});
        std::string path = write(image);
        test::CliRun exported = runCli({"players", "export", path});
        EXPECT_EQ(exported.code, 1);
        EXPECT_NE(exported.err.find("has no player data"), std::string::npos) << exported.err;
        EXPECT_EQ(import(path, "index,speed\n0,1\n").code, 1);
        EXPECT_EQ(readFile(path), image.bytes());
    }

    Image image;
    std::string path = write(image);
    test::writeText(path + ".names", "player 1 = One\nplayer 500 = Far\n");
    test::CliRun run = import(path, "index,speed\n0,1\n");
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, path +
                           ".names:2: player 500 is out of range (0 to 169)\n"
                           "Nothing was written.\n");
    EXPECT_EQ(readFile(path), image.bytes());

    test::writeText(dir_.file("good.names"), "player 1 = Someone Else\n");
    test::CliRun named = runCli({"players", "export", path, "--names", dir_.file("good.names")});
    EXPECT_EQ(named.code, 0) << named.err;
    EXPECT_NE(named.out.find("\n1,Someone Else,"), std::string::npos);
}

}  // namespace
}  // namespace slamwise
