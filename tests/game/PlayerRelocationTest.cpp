#include <gtest/gtest.h>

#include "game/Relocation.h"
#include "tests/support/ImageBuilder.h"

namespace slamwise {
namespace {

using test::kRelocationSites;

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
    const std::vector<std::uint8_t> after = test::readFile(rom.path());
    EXPECT_EQ(test::changedOffsets(test::relocated(image).bytes(), after),
              std::vector<std::uint32_t>{});
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
            const std::uint32_t site = kRelocationSites[s];
            image.at(site) = 0x00, image.at(site + 1) = 0xF0, image.at(site + 2) = 0x04;
        }
        EXPECT_EQ(detectRelocation(openImage(image, dir)).value(), expected) << a << "," << b;
    }
}

}  // namespace
}  // namespace slamwise
