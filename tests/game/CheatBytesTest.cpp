#include "game/CheatBytes.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/ImageBuilder.h"

namespace slamwise {
namespace {

// Each switch alone, ticked in its list and saved: its bit in its byte, the other byte 0.
TEST(CheatBytes, EachSwitchIsItsBit) {
    // The switches of the bytes at 0x179C4 and 0x179C5, from bit 0 to bit 7.
    const char* const switches[2][8] = {
        {"Powerup Push", "Powerup 3pt", "Powerup Turbo", "Powerup Fire", "Powerup Dunks",
         "Max Power", "Powerup G.T.", "Quick Hands"},
        {"Powerup Off", "Speed Mode*", "Push Opponent 1*", "Unknown 1*", "Push Opponent 2*",
         "Rainbow Arc*", "Unknown 2*", "Unknown 3*"}};
    test::TempDir dir;
    test::Image image;
    image.at(0x179C4) = image.at(0x179C5) = 0xA5;
    Result<RomFile> rom = RomFile::open(image.writeTo(dir.file("cheats.sfc")));
    ASSERT_TRUE(rom) << rom.error();
    for (int second : {0, 1}) {
        const auto& entries = second ? kCheat2Entries : kCheat1Entries;
        for (int bit = 0; bit < 8; ++bit) {
            const char* entry = switches[second][bit];
            const auto at = std::find(entries.begin(), entries.end(), entry) - entries.begin();
            ASSERT_LT(at, 8) << entry;
            CheatList ticks{};
            ticks[static_cast<std::size_t>(at)] = true;
            const std::uint8_t byte = packCheatList(ticks);
            Edit edit;
            writeCheatBytes(edit, second ? CheatBytes{0, byte} : CheatBytes{byte, 0});
            ASSERT_TRUE(rom->apply(edit));
            const std::vector<std::uint8_t> after = test::readFile(rom->path());
            EXPECT_EQ(after[0x179C4 + second], 1 << bit) << entry;
            EXPECT_EQ(after[0x179C4] + after[0x179C5], 1 << bit) << entry;
            Result<CheatBytes> read = readCheatBytes(*rom);
            EXPECT_EQ(unpackCheatList(second ? read->second : read->first), ticks) << entry;
        }
    }
}

}  // namespace
}  // namespace slamwise
