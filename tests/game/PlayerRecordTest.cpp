// The player tables pinned byte by byte through the save and the load of a player: every code of
// the coded fields, every field of the actual record, both visual layouts.
#include <gtest/gtest.h>

#include "game/PlayerEdit.h"
#include "tests/support/ImageBuilder.h"

namespace slamwise {
namespace {

using Bytes = std::map<std::uint32_t, int>;  // image offset -> byte

constexpr std::uint32_t actual(int player) {
    return 0x1FB8CF + 26 * static_cast<std::uint32_t>(player);
}

class PlayerRecordTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = image_.writeTo(dir_.file("image.sfc"));
        Result<RomFile> opened = RomFile::open(path_);
        ASSERT_TRUE(opened) << opened.error();
        rom_.emplace(std::move(opened).value());
    }

    // Saves the edit; the file must then hold the expected bytes and differ nowhere else.
    void save(const PlayerEdit& player, VisualLayout layout, const Bytes& expected) {
        const std::vector<std::uint8_t> before = test::readFile(path_);
        Edit edit;
        player.encode(edit, layout);
        ASSERT_TRUE(rom_->apply(edit));
        EXPECT_EQ(test::strayOffsets(before, test::readFile(path_), expected),
                  std::vector<std::uint32_t>{})
            << "player " << player.player;
    }

    // The player as its record reads, alone and within the whole table.
    Player load(int player) {
        const PlayerRecord record = readPlayerRecord(*rom_, player).value();
        EXPECT_EQ(readPlayerRecords(*rom_).value()[std::size_t(player)], record);
        return decodePlayer(record);
    }

    test::Image image_;
    test::TempDir dir_;
    std::string path_;
    std::optional<RomFile> rom_;
};

// Code i of each coded field saved into player 10i and read back: speed and three-point for
// ratings 0-10 (and the two ratings in the relocated visual record), the AI word for slider
// positions 0-16, the skin codes, the height bytes. Fields left empty write nothing.
TEST_F(PlayerRecordTest, EveryCodeOfTheCodedFields) {
    const std::uint16_t speed[11] = {0x13F8, 0x1455, 0x14A7, 0x14FA, 0x154C, 0x159F,
                                     0x15F1, 0x1644, 0x1711, 0x1777, 0x17DE};
    const std::uint16_t three[11] = {0x02BC, 0x02EE, 0x0320, 0x035C, 0x03A2, 0x03CA,
                                     0x0410, 0x044C, 0x0460, 0x0492, 0x04E2};
    const std::uint16_t ai[17] = {0xFFF5, 0xFFF6, 0xFFF7, 0xFFF8, 0xFFF9, 0xFFFA,
                                  0xFFFB, 0xFFFC, 0xFFFD, 0xFFFE, 0xFFFF, 0x0000,
                                  0x0001, 0x0002, 0x0003, 0x0004, 0x0005};
    const std::uint16_t skin[3] = {0xB77F, 0xB781, 0xB789};  // black, black (unused?), white
    const Skin skins[3] = {Skin::Black, Skin::BlackUnused, Skin::White};
    for (int i = 0; i <= 16; ++i) {
        const std::uint32_t a = actual(10 * i), v = 0x27000 + 160 * static_cast<std::uint32_t>(i);
        PlayerEdit edit{10 * i, {}, i, {}, {}};
        Bytes expected;
        auto word = [&](std::uint32_t at, unsigned value) {
            expected[at] = static_cast<int>(value & 0xFF), expected[at + 1] = int(value >> 8);
        };
        word(a + 0x0E, ai[i]);
        if (i <= 10) {
            edit.ratings = {i, i};
            word(a + 4, speed[i]), word(a + 6, three[i]), expected[v] = expected[v + 2] = i;
        }
        if (i < 3) {
            edit.skin = skins[i], word(a + 0x16, skin[i]);
        }
        if (i < 2) {
            edit.height = i == 0 ? Height::Normal : Height::Small, expected[a + 2] = i;
        }
        save(edit, VisualLayout::Relocated, expected);
        const Player loaded = load(10 * i);
        EXPECT_EQ(loaded.ai, i);
        EXPECT_TRUE(i > 10 || (loaded.ratings[0] == i && loaded.ratings[1] == i)) << i;
        EXPECT_TRUE(i >= 3 || loaded.skin == skins[i]) << i;
        EXPECT_TRUE(i >= 2 || loaded.height == edit.height) << i;
    }
}

// Every field at its offset, each with its own value; the visual record in both layouts, none
// for a player past the standard table.
TEST_F(PlayerRecordTest, EachFieldAtItsOffsetAndNothingElse) {
    // speed 7, three-point 3, dunk 1, pass 4, power 5, steal 8, block 2, clutch 6
    const VisualRatings ratings = {7, 3, 1, 4, 5, 8, 2, 6};
    using Case = std::tuple<int, VisualLayout, std::uint32_t>;
    for (auto [player, layout, visual] :
         {Case{0, VisualLayout::Standard, 0x930C9}, Case{127, VisualLayout::Standard, 0x938B9},
          Case{128, VisualLayout::Standard, 0}, Case{168, VisualLayout::Relocated, 0x27A80}}) {
        const std::uint32_t a = actual(player);
        Bytes expected = {{a + 0x02, 1},    {a + 0x04, 0x44}, {a + 0x05, 0x16}, {a + 0x06, 0x5C},
                          {a + 0x07, 0x03}, {a + 0x08, 1},    {a + 0x0A, 2},    {a + 0x0C, 8},
                          {a + 0x0E, 0x05}, {a + 0x0F, 0x00}, {a + 0x10, 4},    {a + 0x12, 5},
                          {a + 0x14, 6},    {a + 0x16, 0x89}, {a + 0x17, 0xB7}};
        for (std::uint32_t i = 0; visual != 0 && i < 8; ++i) {
            expected[visual + 2 * i] = ratings[i];
        }
        PlayerEdit edit{player, {}, 16, Skin::White, Height::Small};
        std::copy(ratings.begin(), ratings.end(), edit.ratings.begin());
        save(edit, layout, expected);
        const std::uint8_t value = test::readFile(path_)[a];  // never written, but read
        EXPECT_EQ(load(player), (Player{value, edit.ratings, 16, Skin::White, Height::Small}));
        if (visual != 0) {
            EXPECT_EQ(readVisualRatings(*rom_, layout, player).value(), ratings);
            EXPECT_EQ(readVisualTable(*rom_, layout).value()[std::size_t(player)], ratings);
        }
    }
}

}  // namespace
}  // namespace slamwise
