#include <gtest/gtest.h>

#include <set>

#include "player/Relocation.h"
#include "tests/support/ImageBuilder.h"

namespace slamwise {
namespace {

using test::changedOffsets;
using test::Image;
using test::readFile;
using test::TempDir;

class PlayerRelocationTest : public ::testing::Test {
  protected:
    RomFile open(const Image& image) {
        path_ = image.writeTo(dir_.file("image.sfc"));
        Result<RomFile> opened = RomFile::open(path_);
        EXPECT_TRUE(opened) << opened.error();
        return std::move(opened).value();
    }

    TempDir dir_;
    std::string path_;
};

TEST_F(PlayerRelocationTest, ChangesExactlyTheRelocatedTableAndThePointers) {
    Image image;
    RomFile rom = open(image);
    const std::vector<std::uint8_t> before = readFile(path_);
    Result<Edit> edit = relocationEdit(rom);
    ASSERT_TRUE(edit) << edit.error();
    EXPECT_EQ(edit->writes().size(), 1u + 8u + 320u);
    ASSERT_TRUE(rom.apply(*edit));
    const std::vector<std::uint8_t> after = readFile(path_);

    std::set<std::uint32_t> allowed;
    for (std::uint32_t offset = 0x27000; offset <= 0x27A7F; ++offset) {
        allowed.insert(offset);
    }
    for (std::uint32_t site : kVisualPointerSites) {
        for (std::uint32_t i = 0; i < 3; ++i) {
            allowed.insert(site + i);
            EXPECT_EQ(after[site + i], kRelocatedPointer[i]);
        }
    }
    EXPECT_EQ(allowed.size(), 0xA80u + 24u);
    for (std::uint32_t offset : changedOffsets(before, after)) {
        EXPECT_TRUE(allowed.count(offset)) << std::hex << offset;
    }
    EXPECT_TRUE(
        std::equal(after.begin() + 0x27000, after.begin() + 0x27800, before.begin() + 0x930C9));
    for (std::uint32_t offset = 0x27800; offset < 0x27A80; offset += 2) {
        EXPECT_EQ(after[offset], 0x0A);
        EXPECT_EQ(after[offset + 1], 0x00);
    }
    EXPECT_EQ(detectRelocation(rom).value(), RelocationState::Relocated);
}

TEST(PlayerRelocationMarkers, JoinedDecimalText) {
    EXPECT_EQ(relocationFromMarkers(0, 0), RelocationState::Relocated);
    EXPECT_EQ(relocationFromMarkers(0, 255), RelocationState::NotRelocated);
    EXPECT_EQ(relocationFromMarkers(2, 55), RelocationState::NotRelocated);
    EXPECT_EQ(relocationFromMarkers(25, 5), RelocationState::NotRelocated);
    EXPECT_EQ(relocationFromMarkers(255, 255), RelocationState::Unknown);
    EXPECT_EQ(relocationFromMarkers(255, 0), RelocationState::Unknown);
    EXPECT_EQ(relocationFromMarkers(7, 0), RelocationState::Unknown);
}

TEST_F(PlayerRelocationTest, DetectionReadsTheMarkers) {
    struct Case {
        std::uint8_t a, b;
        RelocationState expected;
    };
    for (Case c :
         {Case{0, 0, RelocationState::Relocated}, Case{0, 255, RelocationState::NotRelocated},
          Case{2, 55, RelocationState::NotRelocated}, Case{25, 5, RelocationState::NotRelocated},
          Case{255, 255, RelocationState::Unknown}}) {
        Image image;
        image.at(kMarkerA) = c.a;
        image.at(kMarkerB) = c.b;
        RomFile rom = open(image);
        Result<RelocationState> state = detectRelocation(rom);
        ASSERT_TRUE(state);
        EXPECT_EQ(*state, c.expected) << int(c.a) << "," << int(c.b);
    }
}

TEST_F(PlayerRelocationTest, PatchedPointersMeanRelocatedWhateverTheMarkers) {
    Image image;
    image.at(kMarkerA) = 0x37;  // record 0's copied byte was not zero
    image.at(kMarkerB) = 0x00;
    for (std::uint32_t site : kVisualPointerSites) {
        for (std::uint32_t i = 0; i < 3; ++i) {
            image.at(site + i) = kRelocatedPointer[i];
        }
    }
    EXPECT_EQ(detectRelocation(open(image)).value(), RelocationState::Relocated);

    image.at(kVisualPointerSites.back() + 2) = 0x05;  // one site left alone
    image.at(kMarkerA) = 0;
    image.at(kMarkerB) = 255;
    EXPECT_EQ(detectRelocation(open(image)).value(), RelocationState::NotRelocated);
}

}  // namespace
}  // namespace slamwise
