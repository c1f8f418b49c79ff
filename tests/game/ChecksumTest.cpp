#include "game/Checksum.h"

#include <gtest/gtest.h>

#include <tuple>

#include "tests/support/ImageBuilder.h"

namespace slamwise {
namespace {

constexpr std::size_t kMiB = 1024 * 1024;

// Expected sums worked out by hand. The four bytes at 0x7FDC always count as 0x1FE
// (FF FF 00 00, or any other matching pair), once for every time their part is counted.
TEST(Checksum, SumsOfKnownImages) {
    struct Case {
        const char* name;
        std::size_t size;
        std::vector<std::tuple<std::size_t, std::size_t, std::uint8_t>> runs;  // at, length, byte
        std::uint16_t expected;
    };
    const Case cases[] = {
        {"zeros: only the checksum bytes count", kMiB, {}, 0x01FE},
        {"zeros with any pair stored", kMiB, {{0x7FDC, 4, 0x5A}}, 0x01FE},
        // (0x100000 - 4) * 0xFF + 0x1FE = 0xFEFFE02
        {"all 0xFF", kMiB, {{0, kMiB, 0xFF}}, 0xFE02},
        // 3 MiB: the last 1 MiB counts twice: 2 * 0x123 + 0x1FE
        {"3 MiB", 3 * kMiB, {{2 * kMiB, 0x123, 1}}, 0x0444},
        // 2.5 MiB: the last 512 KiB counts four times: 4 * 0x10 + 0x1FE
        {"2.5 MiB", 2 * kMiB + kMiB / 2, {{2 * kMiB, 0x10, 1}}, 0x023E},
        // 2.75 MiB: the rest is 512 KiB once and 256 KiB twice (1 MiB), that 1 MiB counted twice:
        // a byte in the 512 KiB counts 2 times, one in the 256 KiB 4 times: 2 + 4 + 0x1FE
        {"2.75 MiB",
         2 * kMiB + 768 * 1024,
         {{2 * kMiB, 1, 1}, {2 * kMiB + 512 * 1024, 1, 1}},
         0x0204},
        // 0x7FE0 bytes: the checksum lies in the last 0x20 bytes, which count twice: 2 * 0x1FE
        {"smallest image", 0x7FE0, {}, 0x03FC},
        {"too small to hold a checksum", 0x7FDF, {}, 0},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> image(c.size, 0);
        for (auto [at, length, byte] : c.runs) {
            std::fill_n(image.begin() + static_cast<long>(at), length, byte);
        }
        Result<ChecksumState> state = checksumOf(image);
        ASSERT_EQ(state.ok(), c.expected != 0) << c.name;
        EXPECT_EQ(state.ok() ? state->computed : 0, c.expected) << c.name;
        EXPECT_EQ(state.error().find(c.name) != std::string::npos, !state.ok()) << state.error();
    }
}

// The fix goes with another edit in one action: the complement at 0x7FDC, the sum at 0x7FDE. In
// the smallest image the checksum bytes lie in a part that counts twice, in the 3 MiB one the
// edit does.
TEST(Checksum, FixWithAnEditMakesTheStoredPairMatch) {
    test::TempDir dir;
    for (std::size_t size : {std::size_t{0x7FE0}, 3 * kMiB}) {
        test::Image image({.size = size, .copierHeader = size > kMiB});
        std::string path = image.writeTo(dir.file("image.smc"));
        Result<RomFile> rom = RomFile::open(path);
        ASSERT_TRUE(rom.ok()) << rom.error();
        ASSERT_FALSE(checksumOf(*rom)->valid());
        Edit edit;
        edit.putBytes(static_cast<std::uint32_t>(size - 16), {1, 2, 3, 4, 5, 6});
        ASSERT_TRUE(addChecksumFix(*rom, edit).ok());
        ASSERT_TRUE(rom->apply(edit).ok());
        std::vector<std::uint8_t> file = test::readFile(path);
        const std::uint8_t* stored = file.data() + image.headerSize() + 0x7FDC;
        const unsigned sum = checksumOf(std::span(file).subspan(image.headerSize()))->computed;
        EXPECT_EQ(stored[0] + 256u * stored[1], 0xFFFF - sum) << size;  // the complement
        EXPECT_EQ(stored[2] + 256u * stored[3], sum) << size;
        EXPECT_EQ(test::changedOffsets(image.bytes(), file, image.headerSize()).size(), 10u);
    }
}

}  // namespace
}  // namespace slamwise
