// slamwise diff and patch show. (The changes a dry run lists first are pinned with patch apply.)
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
struct Pair {
    Image before, after;
};
Pair pair() {
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

TEST(DiffCommand, ListsTheChangesAsTextAndJson) {
    test::TempDir dir;
    const auto [before, after] = pair();
    const std::string a = before.writeTo(dir.file("a.sfc"));
    const std::string b = after.writeTo(dir.file("b.sfc"));
    test::writeText(a + ".names", "player 37 = Some Name\n");
    const struct {
        std::vector<std::string> args;
        std::string out;
    } cases[] = {
        {{"diff", a, b}, kLines},
        {{"diff", a, b, "--json"}, kJson},
        {{"diff", a, a}, ""},
    };
    for (const auto& [args, out] : cases) {
        test::CliRun run = runCli(args);
        EXPECT_EQ(run.code, 0) << run.err;
        EXPECT_EQ(run.out, out);
        EXPECT_EQ(run.err, "");
    }
    test::CliRun missing = runCli({"diff", b, a, "--names", dir.file("none.names")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find("none.names"), std::string::npos) << missing.err;
}

TEST(DiffCommand, RefusesImagesThatCannotBeCompared) {
    test::TempDir dir;
    const std::string path = pair().before.writeTo(dir.file("a.sfc"));
    Image({.release = Release::Japan}).writeTo(dir.file("japan.sfc"));
    Image({.size = 3 * 1024 * 1024}).writeTo(dir.file("big.sfc"));
    test::writeFile(dir.file("zero.sfc"), std::vector<std::uint8_t>(0x10000, 0));
    const struct {
        std::string other, message;
    } cases[] = {
        {"japan.sfc", "\"IMAGE\" is an image of the North America release and \"" +
                          dir.file("japan.sfc") +
                          "\" one of the Japan release: only images of the same release can be "
                          "compared.\n"},
        {"big.sfc", "\"IMAGE\" holds 2097152 bytes and \"" + dir.file("big.sfc") +
                        "\" 3145728 (without copier headers): only images of the same size can "
                        "be compared.\n"},
        {"zero.sfc", "starts with a 0 byte"},
    };
    for (const auto& [other, message] : cases) {
        test::CliRun run = runCli({"diff", path, dir.file(other)});
        EXPECT_EQ(run.code, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(test::substituted(message, path)), std::string::npos) << run.err;
    }
}

TEST(DiffCommand, PatchShowIsTheDiffOfThePatchedImage) {
    test::TempDir dir;
    const auto [before, after] = pair();
    const std::string a = before.writeTo(dir.file("a.sfc"));
    const std::string b = after.writeTo(dir.file("b.sfc"));
    const std::string other = Image({.seed = 2}).writeTo(dir.file("other.sfc"));
    for (const char* patch : {"p.ips", "p.bps"}) {
        ASSERT_EQ(runCli({"patch", "create", a, b, dir.file(patch)}).code, 0);
        for (const char* json : {"", "--json"}) {
            std::vector<std::string> show = {"patch", "show", a, dir.file(patch)};
            std::vector<std::string> diff = {"diff", a, b};
            if (*json != '\0') {
                show.push_back(json);
                diff.push_back(json);
            }
            test::CliRun shown = runCli(show);
            EXPECT_EQ(shown.code, 0) << shown.err;
            EXPECT_EQ(shown.out, runCli(diff).out);
            EXPECT_FALSE(shown.out.empty());
        }
        EXPECT_EQ(test::readFile(a), before.bytes());
    }
    // A patch that "patch apply" refuses (a BPS patch made for another image) is refused the same
    // way.
    test::CliRun shown = runCli({"patch", "show", other, dir.file("p.bps")});
    test::CliRun applied = runCli({"patch", "apply", other, dir.file("p.bps"), "--dry-run"});
    EXPECT_EQ(shown.code, 1);
    EXPECT_EQ(shown.code, applied.code);
    EXPECT_EQ(shown.err, applied.err);
    EXPECT_NE(shown.err.find("Nothing was written."), std::string::npos) << shown.err;
}

}  // namespace
}  // namespace slamwise
