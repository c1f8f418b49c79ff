#include <gtest/gtest.h>

#include <regex>

#include "cheats/CheatBytes.h"
#include "tests/support/CliRunner.h"
#include "tests/support/ImageBuilder.h"
#include "tools/Csv.h"

namespace slamwise {
namespace {

using test::changedOffsets;
using test::Image;
using test::ImageOptions;
using test::readFile;
using test::runCli;

class CliTool : public ::testing::Test {
  protected:
    std::string write(const Image& image, const std::string& name = "game.sfc") {
        std::string path = dir_.file(name);
        image.writeTo(path);
        return path;
    }
    test::TempDir dir_;
};

TEST_F(CliTool, InfoTellsReleaseTitleHeaderRelocationAndSize) {
    std::string path = write(Image({.release = Release::Japan, .copierHeader = true}));
    test::CliRun run = runCli({"info", path});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out.find("File:          " + path +
                           "\n"
                           "Release:       Japan (JPN)\n"
                           "Title:         \"SLAMWISE TEST IMAGE  \"\n"
                           "Copier header: yes\n"
                           "Player data:   yes\n"
                           "Visual data:   not relocated\n"
                           "File size:     2097664 bytes\n"
                           "Checksum:      stored 0x"),
              0u)
        << run.out;
    EXPECT_TRUE(std::regex_search(run.out, std::regex(R"(\), computed 0x[0-9A-F]{4}: stale\n$)")));

    run = runCli({"info", write(Image({.release = Release::Europe}), "eu.sfc"), "--json"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("\"release\": \"Europe\",\n  \"releaseCode\": \"EU\""),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("\"relocation\": \"not applicable\""), std::string::npos);
}

TEST_F(CliTool, ExitCodesSeparateUsageFromInvalidInput) {
    EXPECT_EQ(runCli({}).code, 2);
    EXPECT_EQ(runCli({"frobnicate"}).code, 2);
    EXPECT_EQ(runCli({"players", "export"}).code, 2);
    EXPECT_EQ(runCli({"players", "export", "x.sfc", "--format", "xml"}).code, 2);
    EXPECT_EQ(runCli({"cheats", "set", "x.sfc"}).code, 2);
    EXPECT_EQ(runCli({"cheats", "set", "x.sfc", "--byte1", "1", "--on", "Max Power"}).code, 2);

    for (std::vector<std::string> help : {std::vector<std::string>{"--help"},
                                          {"info", "--help"},
                                          {"players", "import", "--help"},
                                          {"rosters", "export", "--help"},
                                          {"cheats", "set", "--help"},
                                          {"relocate", "--help"}}) {
        test::CliRun run = runCli(help);
        EXPECT_EQ(run.code, 0);
        EXPECT_NE(run.out.find("Usage: slamwise"), std::string::npos) << run.out;
    }

    test::CliRun missing = runCli({"info", dir_.file("missing.sfc")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find("No such file or directory"), std::string::npos);
    EXPECT_TRUE(missing.out.empty());
}

TEST_F(CliTool, CheatsSetByNameWritesBothBytes) {
    Image image;
    image.at(kCheatByte1) = 0x00;
    image.at(kCheatByte2) = 0x80;
    std::string path = write(image);

    test::CliRun set = runCli(
        {"cheats", "set", path, "--on", "powerup push", "Quick Hands", "--off", "Unknown 3*"});
    EXPECT_EQ(set.code, 0) << set.err;
    EXPECT_EQ(changedOffsets(image.bytes(), readFile(path)),
              (std::vector<std::uint32_t>{kCheatByte1, kCheatByte2}));
    EXPECT_EQ(readFile(path)[kCheatByte1], 0x81);

    EXPECT_EQ(runCli({"cheats", "set", path, "--byte1", "0x10", "--byte2", "255"}).code, 0);
    test::CliRun get = runCli({"cheats", "get", path});
    EXPECT_NE(get.out.find("Cheat byte 1: 0x10\n"), std::string::npos) << get.out;
    EXPECT_NE(get.out.find("  [x] Powerup Dunks\n"), std::string::npos);
    EXPECT_NE(get.out.find("  [x] Unknown 3*\n"), std::string::npos);
}

TEST_F(CliTool, RostersExportThenImportChangesNothing) {
    Image image;
    std::string path = write(image);
    test::CliRun exported = runCli({"rosters", "export", path});
    ASSERT_EQ(exported.code, 0) << exported.err;
    EXPECT_EQ(exported.out.substr(0, exported.out.find('\n')),
              "team,team_name,slot,position1,position1_name,position2,position2_name");
    std::string csv = dir_.file("rosters.csv");
    test::writeText(csv, exported.out);
    EXPECT_EQ(runCli({"rosters", "import", path, csv}).code, 0);
    EXPECT_EQ(readFile(path), image.bytes());
}

TEST(Csv, QuotedFieldsSurviveTheRoundTripWithEitherLineEnding) {
    std::vector<std::string> fields = {"plain", "with, comma", "say \"hi\"", "two\nlines",
                                       "",      " padded "};
    std::string line = cli::csvLine(fields);
    EXPECT_EQ(line, "plain,\"with, comma\",\"say \"\"hi\"\"\",\"two\nlines\",,\" padded \"\n");

    std::string crlf = "a,b\r\n" + line.substr(0, line.size() - 1) + "\r\n\r\nlast,\"\"\r\n";
    cli::CsvText text = cli::parseCsv(crlf);
    ASSERT_TRUE(text.errors.empty());
    ASSERT_EQ(text.rows.size(), 3u);
    EXPECT_EQ(text.rows[1].fields, fields);
    EXPECT_EQ(text.rows[1].line, 2);
    EXPECT_EQ(text.rows[2].line, 5);  // after the quoted line break and the blank line
    EXPECT_EQ(text.rows[2].fields, (std::vector<std::string>{"last", ""}));

    EXPECT_EQ(cli::parseCsv("a,b\n1,\"open\n").errors,
              (std::vector<cli::CsvError>{{2, 1, "a quoted field is not closed"}}));
    EXPECT_EQ(cli::parseCsv("a,b\n\"x\"y,1\n").errors,
              (std::vector<cli::CsvError>{{2, 0, "text follows a closing quote"}}));
}

}  // namespace
}  // namespace slamwise
