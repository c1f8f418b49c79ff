#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/CliRunner.h"

namespace slamwise {
namespace {

using test::Image;
using test::readFile;
using test::runCli;

// The plain 16-bit sum of a 2 MiB image without its copier header: what a fixed checksum holds.
std::uint16_t plainSum(const std::vector<std::uint8_t>& file, std::size_t header) {
    std::uint32_t sum = 0;
    for (std::size_t i = header; i < file.size(); ++i) {
        sum += file[i];
    }
    return static_cast<std::uint16_t>(sum);
}

std::uint16_t word(const std::vector<std::uint8_t>& file, std::size_t at) {
    return static_cast<std::uint16_t>(file[at] | file[at + 1] << 8);
}

// The image's bytes as a file, with or without a copier header in front.
std::vector<std::uint8_t> withHeader(std::vector<std::uint8_t> image, bool header) {
    image.insert(image.begin(), header ? 512 : 0, 0);
    return image;
}

class CliPatch : public ::testing::Test {
  protected:
    test::TempDir dir_;
};

TEST_F(CliPatch, ChecksumShowsDryRunsAndFixesTheFourBytes) {
    for (bool header : {false, true}) {
        SCOPED_TRACE(header);
        const std::string path = Image({.copierHeader = header}).writeTo(dir_.file("game.sfc"));
        const std::vector<std::uint8_t> before = readFile(path);
        const std::size_t skip = header ? 512 : 0;

        test::CliRun shown = runCli({"checksum", path});
        EXPECT_EQ(shown.code, 0) << shown.err;
        EXPECT_NE(shown.out.find(": stale\n"), std::string::npos) << shown.out;

        test::CliRun dry = runCli({"checksum", path, "--fix", "--dry-run"});
        EXPECT_EQ(dry.code, 0) << dry.err;
        EXPECT_NE(dry.out.find("\n$7FDC: "), std::string::npos) << dry.out;
        EXPECT_EQ(readFile(path), before);

        EXPECT_EQ(runCli({"checksum", path, "--fix"}).code, 0);
        const std::vector<std::uint8_t> after = readFile(path);
        EXPECT_EQ(test::changedOffsets(before, after, skip),
                  (std::vector<std::uint32_t>{0x7FDC, 0x7FDD, 0x7FDE, 0x7FDF}));
        const std::uint16_t sum = plainSum(after, skip);
        EXPECT_EQ(word(after, skip + 0x7FDE), sum);
        EXPECT_EQ(word(after, skip + 0x7FDC), 0xFFFF - sum);
        for (const char* command : {"checksum", "info"}) {
            EXPECT_NE(runCli({command, path}).out.find(": valid\n"), std::string::npos);
        }
    }
}

TEST_F(CliPatch, CreateThenApplyGivesTheEditedImage) {
    struct Case {
        const char* extension;
        bool originalHeader;
        bool editedHeader;
    };
    for (const Case& c :
         {Case{".ips", false, false}, Case{".bps", false, true}, Case{".ips", true, true}}) {
        SCOPED_TRACE(c.extension);
        const std::vector<std::uint8_t> base = Image().bytes();
        std::vector<std::uint8_t> changed = base;
        for (std::uint32_t offset : {0x10u, 0x8000u, 0x1FFFFFu}) {
            changed[offset] ^= 0x5A;
        }
        const std::string original = dir_.file("original.sfc");
        const std::string editedPath = dir_.file("edited.sfc");
        const std::string copy = dir_.file("copy.sfc");
        test::writeFile(original, withHeader(base, c.originalHeader));
        test::writeFile(editedPath, withHeader(changed, c.editedHeader));
        test::writeFile(copy, withHeader(base, c.originalHeader));
        const std::string patch = dir_.file(std::string("mod") + c.extension);

        test::CliRun made = runCli({"patch", "create", original, editedPath, patch});
        ASSERT_EQ(made.code, 0) << made.err;
        EXPECT_EQ(made.out.find("copier header") != std::string::npos,
                  c.originalHeader || c.editedHeader)
            << made.out;

        const std::vector<std::uint8_t> before = readFile(copy);
        EXPECT_EQ(runCli({"patch", "apply", copy, patch, "--dry-run"}).code, 0);
        EXPECT_EQ(readFile(copy), before);

        test::CliRun applied = runCli({"patch", "apply", copy, patch});
        EXPECT_EQ(applied.code, 0) << applied.err;
        EXPECT_EQ(applied.out.find("carries no check") != std::string::npos,
                  std::string(c.extension) == ".ips");
        EXPECT_EQ(test::changedOffsets(before, readFile(copy), c.originalHeader ? 512 : 0),
                  (std::vector<std::uint32_t>{0x10, 0x8000, 0x1FFFFF}));
    }
}

TEST_F(CliPatch, RefusalsExitOneAndWriteNothing) {
    const std::string image = Image().writeTo(dir_.file("game.sfc"));
    const std::string other = Image({.seed = 7}).writeTo(dir_.file("other.sfc"));
    Image edited({.seed = 7});
    edited.at(0x100) ^= 1;
    const std::string editedPath = edited.writeTo(dir_.file("edited.sfc"));
    const std::string bps = dir_.file("other.bps");
    const std::string ips = dir_.file("cut.ips");
    ASSERT_EQ(runCli({"patch", "create", other, editedPath, bps}).code, 0);
    ASSERT_EQ(runCli({"patch", "create", other, editedPath, ips}).code, 0);
    std::filesystem::resize_file(ips, std::filesystem::file_size(ips) - 3);  // "EOF" cut off
    std::filesystem::create_hard_link(editedPath, dir_.file("edited.bps"));

    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"patch", "apply", image, bps}, "this patch is for another image"},
        {{"patch", "apply", image, ips}, "ends without \"EOF\""},
        {{"patch", "apply", image, dir_.file("missing.ips")}, "No such file or directory"},
        {{"patch", "create", other, editedPath, image + ".txt"}, "Cannot tell the format"},
        {{"patch", "create", other, editedPath, dir_.file("edited.bps")}, "would overwrite"},
    };
    const std::vector<std::uint8_t> before = readFile(image);
    const std::vector<std::uint8_t> editedBefore = readFile(editedPath);
    for (const Case& c : cases) {
        test::CliRun run = runCli(c.args);
        EXPECT_EQ(run.code, 1) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("Nothing was written."), std::string::npos);
    }
    EXPECT_EQ(readFile(image), before);
    EXPECT_EQ(readFile(editedPath), editedBefore);
}

}  // namespace
}  // namespace slamwise
