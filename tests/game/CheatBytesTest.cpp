#include "game/CheatBytes.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/ImageBuilder.h"

namespace slamwise {
namespace {

// Each switch alone, ticked in its list and saved: its bit in its byte, the other byte 0.
TEST(CheatBytes, EachSwitchIsItsBit) {
    const std::tuple<const char*, std::uint32_t, int> cases[] = {
        // entry, byte, mask
        {"Powerup Push", 0x179C4, 0x01},     {"Powerup 3pt", 0x179C4, 0x02},
        {"Powerup Turbo", 0x179C4, 0x04},    {"Powerup Fire", 0x179C4, 0x08},
        {"Powerup Dunks", 0x179C4, 0x10},    {"Max Power", 0x179C4, 0x20},
        {"Powerup G.T.", 0x179C4, 0x40},     {"Quick Hands", 0x179C4, 0x80},
        {"Powerup Off", 0x179C5, 0x01},      {"Speed Mode*", 0x179C5, 0x02},
        {"Push Opponent 1*", 0x179C5, 0x04}, {"Unknown 1*", 0x179C5, 0x08},
        {"Push Opponent 2*", 0x179C5, 0x10}, {"Rainbow Arc*", 0x179C5, 0x20},
        {"Unknown 2*", 0x179C5, 0x40},       {"Unknown 3*", 0x179C5, 0x80},
    };
    test::TempDir dir;
    test::Image image;
    image.at(0x179C4) = image.at(0x179C5) = 0xA5;
    Result<RomFile> rom = RomFile::open(image.writeTo(dir.file("cheats.sfc")));
    ASSERT_TRUE(rom) << rom.error();
    for (auto [entry, offset, mask] : cases) {
        const bool first = offset == 0x179C4;
        const auto& entries = first ? kCheat1Entries : kCheat2Entries;
        const auto at = std::find(entries.begin(), entries.end(), entry) - entries.begin();
        ASSERT_LT(at, 8) << entry;
        CheatList ticks{};
        ticks[static_cast<std::size_t>(at)] = true;
        const std::uint8_t byte = packCheatList(ticks);
        Edit edit;
        writeCheatBytes(edit, first ? CheatBytes{byte, 0} : CheatBytes{0, byte});
        ASSERT_TRUE(rom->apply(edit));
        const std::vector<std::uint8_t> after = test::readFile(rom->path());
        EXPECT_EQ(after[offset], mask) << entry;
        EXPECT_EQ(after[0x179C4] + after[0x179C5], mask) << entry;
        Result<CheatBytes> read = readCheatBytes(*rom);
        EXPECT_EQ(unpackCheatList(first ? read->first : read->second), ticks) << entry;
    }
}

}  // namespace
}  // namespace slamwise
