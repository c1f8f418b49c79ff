#include <gtest/gtest.h>

#include "cheats/CheatBytes.h"
#include "tests/support/ImageBuilder.h"

namespace slamwise {
namespace {

using test::changedOffsets;
using test::Image;
using test::readFile;
using test::TempDir;

TEST(CheatList, PackInvertsUnpackForEveryByte) {
    for (int value = 0; value < 256; ++value) {
        auto byte = static_cast<std::uint8_t>(value);
        CheatList ticks = unpackCheatList(byte);
        for (int bit = 0; bit < kCheatsPerByte; ++bit) {
            EXPECT_EQ(ticks[static_cast<std::size_t>(bit)], ((value >> bit) & 1) != 0);
        }
        EXPECT_EQ(packCheatList(ticks), byte);
    }
}

TEST(CheatList, FirstEntryIsTheLowestBit) {
    EXPECT_EQ(packCheatList({true, false, false, false, false, false, false, true}), 0x81);
    EXPECT_EQ(packCheatList({true}), 0x01);
    EXPECT_EQ(packCheatList({false, false, false, false, false, false, false, true}), 0x80);
}

TEST(CheatBytes, ReadAndWriteTouchOnlyTheTwoBytes) {
    Image image;
    image.at(0x179C4) = 0x5A;
    image.at(0x179C5) = 0xC3;
    TempDir dir;
    std::string path = image.writeTo(dir.file("cheats.sfc"));
    Result<RomFile> rom = RomFile::open(path);
    ASSERT_TRUE(rom) << rom.error();

    Result<CheatBytes> read = readCheatBytes(*rom);
    ASSERT_TRUE(read) << read.error();
    EXPECT_EQ(*read, (CheatBytes{0x5A, 0xC3}));

    Edit edit;
    writeCheatBytes(edit, {0x81, 0x02});
    ASSERT_EQ(edit.writes().size(), 2u);
    EXPECT_EQ(edit.writes()[0].offset, 0x179C4u);
    ASSERT_TRUE(rom->apply(edit));
    std::vector<std::uint8_t> after = readFile(path);
    EXPECT_EQ(changedOffsets(image.bytes(), after), (std::vector<std::uint32_t>{0x179C4, 0x179C5}));
    EXPECT_EQ(after[0x179C4], 0x81);
    EXPECT_EQ(after[0x179C5], 0x02);
}

}  // namespace
}  // namespace slamwise
