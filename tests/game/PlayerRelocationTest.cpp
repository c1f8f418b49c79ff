#include <gtest/gtest.h>

#include <map>

#include "game/Relocation.h"
#include "tests/support/ImageBuilder.h"

namespace slamwise {
namespace {

// The eight pointer sites of the game's code, patched with 00 F0 04 ($04F000).
constexpr std::uint32_t kSites[] = {0x51B1A, 0x51B37, 0x51B91, 0x51BAE,
                                    0x51C19, 0x51C36, 0x51C90, 0x51CAD};

RomFile openImage(const test::Image& image, const test::TempDir& dir) {
    Result<RomFile> opened = RomFile::open(image.writeTo(dir.file("image.sfc")));
    EXPECT_TRUE(opened) << opened.error();
    return std::move(opened).value();
}

// The copy of 0x930C9-0x938C8 at 0x27000, the filler of 320 words 0A 00 at 0x27800 and the 24
// pointer bytes; record 168 (0x27A80) and everything else unchanged.
TEST(PlayerRelocation, WritesTheCopyTheFillerAndThePointers) {
    test::TempDir dir;
    const test::Image image;
    RomFile rom = openImage(image, dir);
    Result<Edit> edit = relocationEdit(rom);
    ASSERT_TRUE(edit && rom.apply(*edit)) << edit.error();
    const std::vector<std::uint8_t>& before = image.bytes();
    const std::vector<std::uint8_t> after = test::readFile(rom.path());

    std::map<std::uint32_t, std::uint8_t> expected;
    for (std::uint32_t i = 0; i < 0x800; ++i) {
        expected[0x27000 + i] = before[0x930C9 + i];
    }
    for (std::uint32_t i = 0; i < 0x280; ++i) {
        expected[0x27800 + i] = i % 2 == 0 ? 0x0A : 0x00;
    }
    for (std::uint32_t site : kSites) {
        expected[site] = 0x00, expected[site + 1] = 0xF0, expected[site + 2] = 0x04;
    }
    for (auto [offset, byte] : expected) {
        EXPECT_EQ(after[offset], byte) << std::hex << offset;
    }
    for (std::uint32_t offset : test::changedOffsets(before, after)) {
        EXPECT_TRUE(expected.count(offset)) << "stray write at " << std::hex << offset;
    }
}

// The markers A at 0x27001 and B at 0x27801: the decimal texts of A and B joined give 0
// (relocated), 255 (not relocated) or anything else (unknown). Eight patched pointers mean
// relocated whatever the markers say; seven do not.
TEST(PlayerRelocation, DetectionByMarkersAndPointers) {
    using enum RelocationState;
    const std::tuple<int, int, int, RelocationState> cases[] = {
        {0, 0, 0, Relocated},     {0, 255, 0, NotRelocated}, {2, 55, 0, NotRelocated},
        {25, 5, 0, NotRelocated}, {255, 255, 0, Unknown},    {7, 0, 0, Unknown},
        {0x37, 0, 8, Relocated},  {0, 255, 7, NotRelocated}};
    test::TempDir dir;
    for (auto [a, b, patchedSites, expected] : cases) {
        test::Image image;
        image.at(0x27001) = static_cast<std::uint8_t>(a);
        image.at(0x27801) = static_cast<std::uint8_t>(b);
        for (int s = 0; s < patchedSites; ++s) {
            image.at(kSites[s]) = 0x00, image.at(kSites[s] + 1) = 0xF0, image.at(kSites[s] + 2) = 4;
        }
        EXPECT_EQ(detectRelocation(openImage(image, dir)).value(), expected) << a << "," << b;
    }
}

}  // namespace
}  // namespace slamwise
