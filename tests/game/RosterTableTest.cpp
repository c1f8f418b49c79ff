#include "game/Names.h"
#include "game/RosterTable.h"

#include <gtest/gtest.h>

#include "tests/support/ImageBuilder.h"

namespace slamwise {
namespace {

using Offsets = std::vector<std::uint32_t>;

// Team t's record starts at 0xB18CF + 80t, slot s at +4s: Position #1 at +0, its companion at
// +1, Position #2 at +2; +3 is never touched.
TEST(RosterTable, EachSlotAtItsOffset) {
    using Case = std::tuple<int, int, std::uint32_t>;  // team, slot, first byte of the slot
    for (auto [team, slot, start] :
         {Case{0, 0, 0xB18CF}, Case{0, 19, 0xB191B}, Case{1, 0, 0xB191F}, Case{28, 19, 0xB21DB}}) {
        SCOPED_TRACE(std::to_string(team) + "/" + std::to_string(slot));
        test::Image image;
        for (std::uint32_t i = 0; i < 4; ++i) {
            image.at(start + i) = static_cast<std::uint8_t>(0x40 + i);
        }
        test::TempDir dir;
        Result<RomFile> rom = RomFile::open(image.writeTo(dir.file("roster.sfc")));
        ASSERT_TRUE(rom) << rom.error();
        EXPECT_EQ(teamOffset(team), start - 4 * static_cast<std::uint32_t>(slot));
        EXPECT_EQ(readSlot(*rom, team, slot).value(), (RosterSlot{0x40, 0x42}));
        EXPECT_EQ(readRosterTable(*rom).value()[team][slot], (RosterSlot{0x40, 0x42}));

        Edit write, end;
        ASSERT_TRUE(writeSlot(write, team, slot, {0x12, 0x34}) && rom->apply(write));
        EXPECT_EQ(test::strayOffsets(image.bytes(), test::readFile(rom->path()),
                                     {{start, 0x12}, {start + 2, 0x34}}),
                  Offsets{});
        ASSERT_TRUE(endRoster(end, team, slot) && rom->apply(end));
        EXPECT_EQ(test::strayOffsets(image.bytes(), test::readFile(rom->path()),
                                     {{start, 0xFE}, {start + 1, 0xFF}, {start + 2, 0x34}}),
                  Offsets{});
    }
}

// 29 teams of 20 slots: other indices are refused and touch nothing.
TEST(RosterTable, IndicesOutsideTheTable) {
    test::TempDir dir;
    Result<RomFile> rom = RomFile::open(test::Image().writeTo(dir.file("roster.sfc")));
    EXPECT_EQ(readRosterTable(*rom)->size(), 29u);
    for (auto [team, slot] : {std::pair{-1, 0}, std::pair{29, 0}, std::pair{0, -1},
                              std::pair{0, 20}, std::pair{28, 20}}) {
        Edit edit;
        EXPECT_FALSE(writeSlot(edit, team, slot, {1, 2}) || endRoster(edit, team, slot) ||
                     readSlot(*rom, team, slot));
        EXPECT_TRUE(edit.empty());
    }
}

TEST(RosterTable, EveryCodeHasItsEntry) {
    GameNames names;
    for (int i = 0; i < 170; ++i) {
        names.players.push_back("P" + std::to_string(i));
    }
    for (int code = 0; code < 256; ++code) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02X", code);
        std::string expected = code == 0      ? "00-P0 (*)"
                               : code <= 0xA9 ? digits + ("-P" + std::to_string(code))
                               : code == 0xFE ? "FE-End of Team Roster Data"
                                              : "Unknown/Dummy";
        EXPECT_EQ(rosterEntryText(names, static_cast<std::uint8_t>(code)), expected) << code;
    }
}

}  // namespace
}  // namespace slamwise
