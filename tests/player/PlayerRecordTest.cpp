#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "player/PlayerEdit.h"
#include "player/Relocation.h"
#include "player/VisualTable.h"
#include "tests/support/ImageBuilder.h"

namespace slamwise {
namespace {

using test::changedOffsets;
using test::Image;
using test::readFile;
using test::TempDir;

class PlayerRecordTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = image_.writeTo(dir_.file("image.sfc"));
        Result<RomFile> opened = RomFile::open(path_);
        ASSERT_TRUE(opened) << opened.error();
        rom_.emplace(std::move(opened).value());
    }

    Image image_;
    TempDir dir_;
    std::string path_;
    std::optional<RomFile> rom_;
};

TEST_F(PlayerRecordTest, ReadsTheListedFields) {
    image_.at(actualOffset(168) + kValueField) = 0x1F;
    image_.put16(actualOffset(168) + kSkinField, 0xB781);
    image_.put16(actualOffset(168) + kAiField, 0xFFF5);
    image_.writeTo(path_);

    Result<PlayerRecord> record = readPlayerRecord(*rom_, 168);
    ASSERT_TRUE(record) << record.error();
    const std::uint32_t base = actualOffset(168);
    EXPECT_EQ(base, 0x1FC9DFu);
    EXPECT_EQ(record->value, 0x1F);
    EXPECT_EQ(record->height, image_.at(base + 0x02));
    EXPECT_EQ(record->speedCode, image_.get16(base + 0x04));
    EXPECT_EQ(record->threeCode, image_.get16(base + 0x06));
    EXPECT_EQ(record->dunk, image_.at(base + 0x08));
    EXPECT_EQ(record->block, image_.at(base + 0x0A));
    EXPECT_EQ(record->steal, image_.at(base + 0x0C));
    EXPECT_EQ(record->aiWord, 0xFFF5);
    EXPECT_EQ(record->pass, image_.at(base + 0x10));
    EXPECT_EQ(record->power, image_.at(base + 0x12));
    EXPECT_EQ(record->clutch, image_.at(base + 0x14));
    EXPECT_EQ(record->skinCode, 0xB781);
}

// Expected bytes of a save of sample() into the given player, by image offset.
std::map<std::uint32_t, std::uint8_t> expectedActualBytes(int player) {
    const std::uint32_t base = actualOffset(player);
    return {{base + 0x02, 1},    {base + 0x04, 0x44}, {base + 0x05, 0x16}, {base + 0x06, 0x5C},
            {base + 0x07, 0x03}, {base + 0x08, 1},    {base + 0x0A, 2},    {base + 0x0C, 3},
            {base + 0x0E, 0x05}, {base + 0x0F, 0x00}, {base + 0x10, 4},    {base + 0x12, 5},
            {base + 0x14, 6},    {base + 0x16, 0x89}, {base + 0x17, 0xB7}};
}

// Speed 7, three-point 3, dunk 1, pass 4, power 5, steal 3, block 2, clutch 6.
PlayerEdit sample(int player) {
    return {player, {7, 3, 1, 4, 5, 3, 2, 6}, 16, Skin::White, Height::Small};
}

TEST_F(PlayerRecordTest, DecodingGivesTheMeaningOfEachStoredField) {
    PlayerRecord record{0x1F, 2, 0x13F8, 0x1234, 15, 0, 3, 0xFFF5, 4, 5, 6, 0xB781};
    Player player = decodePlayer(record);
    EXPECT_EQ(player.value, 0x1F);
    EXPECT_EQ(player.ratings,
              (std::array<std::optional<int>, 8>{0, std::nullopt, 15, 4, 5, 3, 0, 6}));
    EXPECT_EQ(player.ai, 0);
    EXPECT_EQ(player.skin, Skin::BlackUnused);
    EXPECT_FALSE(player.height);
}

// The save of one player in one layout changes only its actual fields and its visual ratings.
void expectSaveTouchesOnly(RomFile& rom, const std::string& path, int player, VisualLayout layout) {
    const std::vector<std::uint8_t> before = readFile(path);
    Edit edit;
    sample(player).encode(edit, layout);
    ASSERT_TRUE(rom.apply(edit));
    const std::vector<std::uint8_t> after = readFile(path);

    std::map<std::uint32_t, std::uint8_t> expected = expectedActualBytes(player);
    const VisualRatings ratings = {7, 3, 1, 4, 5, 3, 2, 6};
    if (layout == VisualLayout::Relocated || player < 128) {
        for (std::uint32_t i = 0; i < 8; ++i) {
            expected[visualOffset(layout, player) + 2 * i] = ratings[i];
        }
    }
    for (auto [offset, value] : expected) {
        EXPECT_EQ(after[offset], value) << "player " << player << " offset " << std::hex << offset;
    }
    for (std::uint32_t offset : changedOffsets(before, after)) {
        EXPECT_TRUE(expected.count(offset))
            << "player " << player << " stray write at " << std::hex << offset;
    }
}

TEST_F(PlayerRecordTest, SaveTouchesOnlyThePlayersRecordBytes) {
    for (int player : {0, 127, 128, 168}) {
        expectSaveTouchesOnly(*rom_, path_, player, VisualLayout::Standard);
    }
    Result<Edit> relocation = relocationEdit(*rom_);
    ASSERT_TRUE(relocation);
    ASSERT_TRUE(rom_->apply(*relocation));
    for (int player : {0, 127, 128, 168}) {
        expectSaveTouchesOnly(*rom_, path_, player, VisualLayout::Relocated);
    }
}

// In the fixed order: dunk, block, steal, pass, power, clutch, speed, three-point, AI, skin,
// height, then the visual record; an empty field writes nothing.
TEST_F(PlayerRecordTest, SaveWritesTheGivenFieldsInFixedOrder) {
    auto offsets = [](const PlayerEdit& save) {
        Edit edit;
        save.encode(edit, VisualLayout::Standard);
        std::vector<std::uint32_t> written;
        for (const Edit::Write& write : edit.writes()) {
            written.push_back(write.offset);
        }
        return written;
    };
    std::vector<std::uint32_t> fields = offsets(sample(0));
    for (std::uint32_t& offset : fields) {
        offset -= kActualTable;
    }
    fields.resize(11);
    EXPECT_EQ(fields, (std::vector<std::uint32_t>{0x08, 0x0A, 0x0C, 0x10, 0x12, 0x14, 0x04, 0x06,
                                                  0x0E, 0x16, 0x02}));
    PlayerEdit some;
    some.player = 5;
    some.ratings[static_cast<std::size_t>(Rating::Dunk)] = 9;
    some.ai = 0;
    EXPECT_EQ(offsets(some), (std::vector<std::uint32_t>{0x1FB959, 0x1FB95F, 0x9311D}));
}

TEST_F(PlayerRecordTest, ValuesThatCannotBeWrittenAreRefusedByField) {
    PlayerEdit save = sample(169);
    save.ratings[0] = 11;
    save.ratings[7] = -1;
    save.ai = 17;
    std::vector<std::string> found;
    for (const PlayerEdit::Problem& problem : save.problems()) {
        found.push_back(std::string(nameOf(problem.field)) + " " + problem.reason);
    }
    EXPECT_EQ(found, (std::vector<std::string>{"index is not a player (0 to 168)",
                                               "speed is not a rating from 0 to 10",
                                               "clutch is not a rating from 0 to 10",
                                               "ai is not a slider position from 0 to 16"}));
    EXPECT_TRUE(sample(168).problems().empty());
}

TEST_F(PlayerRecordTest, VisualReaderSeesWhatTheWriterWrote) {
    const VisualRatings ratings = {10, 9, 8, 7, 6, 5, 4, 3};
    for (VisualLayout layout : {VisualLayout::Standard, VisualLayout::Relocated}) {
        PlayerEdit save;
        save.player = 127;
        std::copy(ratings.begin(), ratings.end(), save.ratings.begin());
        Edit edit;
        save.encode(edit, layout);
        ASSERT_TRUE(rom_->apply(edit));
        Result<VisualRatings> read = readVisualRatings(*rom_, layout, 127);
        ASSERT_TRUE(read);
        EXPECT_EQ(*read, ratings);
    }
    EXPECT_EQ(visualOffset(VisualLayout::Standard, 127) + 0x0E, 0x938C7u);
    EXPECT_EQ(visualOffset(VisualLayout::Relocated, 127) + 0x0E, 0x277FEu);
}

}  // namespace
}  // namespace slamwise
