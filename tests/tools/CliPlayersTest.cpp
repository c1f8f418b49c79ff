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

// Gives player 3 or 4 fields that all have a meaning: ratings speed 5, three-point 8, dunk 7,
// pass 4, power 10, steal 9, block 2, clutch 0; AI 3; skin white; small.
void putPlayer(Image& image, int player) {
    const std::uint32_t base = actualOffset(player);
    const std::pair<std::uint32_t, std::uint8_t> bytes[] = {
        {0x02, 1}, {0x04, 0x9F}, {0x05, 0x15}, {0x06, 0x60}, {0x07, 0x04},
        {0x08, 7}, {0x0A, 2},    {0x0C, 9},    {0x0E, 0xF8}, {0x0F, 0xFF},
        {0x10, 4}, {0x12, 10},   {0x14, 0},    {0x16, 0x89}, {0x17, 0xB7}};
    for (auto [field, value] : bytes) {
        image.at(base + field) = value;
    }
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
    putPlayer(image, 3);
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

TEST_F(CliPlayers, RawFieldsAreLeftAsTheyAreWhenAPlayerIsSaved) {
    Image image;
    putPlayer(image, 4);
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

}  // namespace
}  // namespace slamwise
