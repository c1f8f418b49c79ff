// slamwise diff, patch show and the changes the dry run of patch apply lists.
#include <gtest/gtest.h>

#include "tests/support/CliRunner.h"

namespace slamwise {
namespace {

using test::Image;
using test::runCli;
using test::with;

constexpr std::uint32_t kPlayer37 = 0x1FB8CF + 37 * 26;
constexpr std::uint32_t kVisual37 = 0x930C9 + 37 * 16;     // its visual record
constexpr std::uint32_t kSlot = 0xB18CF + 3 * 80 + 3 * 4;  // team 3, slot 4

// An image with a copier header, and the same with player 37's speed 5 -> 7, team 3 slot 4's
// first code 0x12 -> 0x20, "Quick Hands" on and two other bytes changed.
std::pair<Image, Image> pair() {
    // clang-format off
    const Image before = with(Image({.copierHeader = true, .seed = 9}),
                              {{kPlayer37 + 4, 0x9F}, {kPlayer37 + 5, 0x15}, {kVisual37, 5},
                               {kSlot, 0x12}, {0x179C4, 0x00}, {0x451A0, 0x00}, {0x451A1, 0x00}});
    return {before, with(before, {{kPlayer37 + 4, 0x44}, {kPlayer37 + 5, 0x16}, {kSlot, 0x20},
                                  {0x179C4, 0x80}, {0x451A0, 0x01}, {0x451A1, 0x02}})};
    // clang-format on
}

const std::string kLines =
    "Player 037 (Some Name): speed 5 -> 7\n"
    "Team 03 slot 4: position 1 0x12 (Player 018) -> 0x20 (Player 032)\n"
    "Cheat \"Quick Hands\": off -> on\n"
    "Other bytes: $451A0-$451A1 (2 bytes)\n";
const std::string kJson =
    "[\n"
    "  {\"kind\":\"player\",\"index\":37,\"name\":\"Some Name\",\"field\":\"speed\",\"before\":5,"
    "\"after\":7},\n"
    "  {\"kind\":\"roster\",\"team\":3,\"slot\":4,\"position\":1,\"before\":\"0x12\","
    "\"before_name\":\"Player 018\",\"after\":\"0x20\",\"after_name\":\"Player 032\"},\n"
    "  {\"kind\":\"cheat\",\"name\":\"Quick Hands\",\"before\":\"off\",\"after\":\"on\"},\n"
    "  {\"kind\":\"bytes\",\"offset\":283040,\"length\":2}\n"
    "]\n";

// Refused comparisons print nothing on the standard output.
TEST(DiffCommand, ListsTheChangesAsTextAndJsonOrSaysWhyNot) {
    test::TempDir dir;
    const auto [before, after] = pair();
    const std::string a = before.writeTo(dir.file("a.sfc"));
    const std::string b = after.writeTo(dir.file("b.sfc"));
    test::writeText(a + ".names", "player 37 = Some Name\n");
    const std::string japan = Image({.release = Release::Japan}).writeTo(dir.file("japan.sfc"));
    const std::string big = Image({.size = 3 * 1024 * 1024}).writeTo(dir.file("big.sfc"));
    test::writeFile(dir.file("zero.sfc"), std::vector<std::uint8_t>(0x10000, 0));
    const struct {
        std::vector<std::string> args;
        std::string out, err;  // err: a part of the standard error; none: it is empty, exit code 0
    } cases[] = {
        // clang-format off
        {{"diff", a, b}, kLines, ""},
        {{"diff", a, b, "--json"}, kJson, ""},
        {{"diff", a, a}, "", ""},
        {{"diff", b, a, "--names", dir.file("none.names")}, "", dir.file("none.names")},
        {{"diff", a, japan}, "", "\"" + a + "\" is an image of the North America release and \"" +
         japan + "\" one of the Japan release: only images of the same release can be compared.\n"},
        {{"diff", a, big}, "", "\"" + a + "\" holds 2097152 bytes and \"" + big + "\" 3145728 "
         "(without copier headers): only images of the same size can be compared.\n"},
        {{"diff", a, dir.file("zero.sfc")}, "", "starts with a 0 byte"},
        // clang-format on
    };
    for (const auto& [args, out, err] : cases) {
        test::CliRun run = runCli(args);
        EXPECT_EQ(run.code, err.empty() ? 0 : 1) << run.err;
        EXPECT_EQ(run.out, out);
        EXPECT_TRUE(err.empty() ? run.err.empty() : run.err.find(err) != std::string::npos)
            << run.err;
    }
}

// patch show prints the diff of the patched image; the dry run of patch apply prints it too, then
// each run of changed bytes (and each byte under --verbose), and writes nothing.
TEST(DiffCommand, PatchShowAndTheDryRunListTheChanges) {
    test::TempDir dir;
    const auto [before, after] = pair();
    const std::string a = before.writeTo(dir.file("a.sfc"));
    const std::string b = after.writeTo(dir.file("b.sfc"));
    const std::string other = Image({.seed = 2}).writeTo(dir.file("other.sfc"));
    test::writeText(a + ".names", "player 37 = Some Name\n");
    for (const char* patch : {"p.ips", "p.bps"}) {
        ASSERT_EQ(runCli({"patch", "create", a, b, dir.file(patch)}).code, 0);
        std::vector<std::string> show = {"patch", "show", a, dir.file(patch)};
        const test::CliRun text = runCli(show);
        show.push_back("--json");
        const test::CliRun json = runCli(show);
        EXPECT_EQ(text.code + json.code, 0) << text.err << json.err;
        EXPECT_EQ(text.out + json.out, kLines + kJson);
    }
    const std::string head = kLines + "Dry run: 6 byte(s) in 4 range(s) would change in " + a +
                             "; nothing was written.\n";
    std::vector<std::string> dryRun = {"patch", "apply", a, dir.file("p.bps"), "--dry-run"};
    const test::CliRun ranges = runCli(dryRun);
    dryRun.push_back("--verbose");
    const test::CliRun bytes = runCli(dryRun);
    EXPECT_EQ(ranges.code + bytes.code, 0) << ranges.err << bytes.err;
    EXPECT_EQ(ranges.out, head +
                              "$179C4-$179C4: 1 byte\n$451A0-$451A1: 2 bytes\n"
                              "$B19CB-$B19CB: 1 byte\n$1FBC95-$1FBC96: 2 bytes\n");
    EXPECT_EQ(bytes.out, head +
                             "$179C4-$179C4: 1 byte\n  $179C4: 00 -> 80\n$451A0-$451A1: 2 bytes\n"
                             "  $451A0: 00 -> 01\n  $451A1: 00 -> 02\n$B19CB-$B19CB: 1 byte\n"
                             "  $B19CB: 12 -> 20\n$1FBC95-$1FBC96: 2 bytes\n  $1FBC95: 9F -> 44\n"
                             "  $1FBC96: 15 -> 16\n");
    EXPECT_EQ(test::readFile(a), before.bytes());
    // A patch that "patch apply" refuses (a BPS patch made for another image) is refused the same
    // way.
    test::CliRun shown = runCli({"patch", "show", other, dir.file("p.bps")});
    test::CliRun applied = runCli({"patch", "apply", other, dir.file("p.bps"), "--dry-run"});
    EXPECT_EQ(shown.code, 1);
    EXPECT_EQ(std::tie(shown.code, shown.err), std::tie(applied.code, applied.err));
    EXPECT_NE(shown.err.find("Nothing was written."), std::string::npos) << shown.err;
}

}  // namespace
}  // namespace slamwise
