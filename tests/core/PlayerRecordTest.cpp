#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "player/ActualTable.h"
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

// Expected bytes of a save of sampleValues() into the given player, by image offset.
std::map<std::uint32_t, std::uint8_t> expectedActualBytes(int player) {
    const std::uint32_t base = actualOffset(player);
    return {{base + 0x02, 1},    {base + 0x04, 0x44}, {base + 0x05, 0x16}, {base + 0x06, 0x5C},
            {base + 0x07, 0x03}, {base + 0x08, 1},    {base + 0x0A, 2},    {base + 0x0C, 3},
            {base + 0x0E, 0x05}, {base + 0x0F, 0x00}, {base + 0x10, 4},    {base + 0x12, 5},
            {base + 0x14, 6},    {base + 0x16, 0x89}, {base + 0x17, 0xB7}};
}

PlayerValues sampleValues() {
    PlayerValues values;
    values.dunk = 1;
    values.block = 2;
    values.steal = 3;
    values.pass = 4;
    values.power = 5;
    values.clutch = 6;
    values.speed = 7;
    values.three = 3;
    values.aiSlider = 16;
    values.skin = Skin::White;
    values.height = kHeightSmall;
    return values;
}

// The save of one player in one layout changes only its actual fields and its visual ratings.
void expectSaveTouchesOnly(RomFile& rom, const std::string& path, int player, VisualLayout layout) {
    const std::vector<std::uint8_t> before = readFile(path);
    Edit edit;
    writePlayerRecord(edit, player, sampleValues());
    const VisualRatings ratings = {7, 3, 1, 4, 5, 3, 2, 6};
    const bool visual = writeVisualRatings(edit, layout, player, ratings);
    EXPECT_EQ(visual, layout == VisualLayout::Relocated || player < 128);
    ASSERT_TRUE(rom.apply(edit));
    const std::vector<std::uint8_t> after = readFile(path);

    std::map<std::uint32_t, std::uint8_t> expected = expectedActualBytes(player);
    if (visual) {
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

TEST_F(PlayerRecordTest, SaveTouchesOnlyTheDocumentedBytes) {
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

TEST_F(PlayerRecordTest, OptionalFieldsWriteNothingWhenAbsent) {
    const std::vector<std::uint8_t> before = readFile(path_);
    PlayerValues values = sampleValues();
    values.speed.reset();
    values.three = 11;  // no code
    values.skin.reset();
    values.height.reset();
    Edit edit;
    writePlayerRecord(edit, 5, values);
    ASSERT_TRUE(rom_->apply(edit));
    const std::uint32_t base = actualOffset(5);
    for (std::uint32_t offset : changedOffsets(before, readFile(path_))) {
        const std::uint32_t field = offset - base;
        EXPECT_TRUE(field == 0x08 || field == 0x0A || field == 0x0C || field == 0x0E ||
                    field == 0x0F || field == 0x10 || field == 0x12 || field == 0x14)
            << std::hex << offset;
    }
}

TEST_F(PlayerRecordTest, SaveWritesFieldsInFixedOrder) {
    Edit edit;
    writePlayerRecord(edit, 0, sampleValues());
    std::vector<std::uint32_t> fields;
    for (const Edit::Write& write : edit.writes()) {
        fields.push_back(write.offset - kActualTable);
    }
    EXPECT_EQ(fields, (std::vector<std::uint32_t>{0x08, 0x0A, 0x0C, 0x10, 0x12, 0x14, 0x04, 0x06,
                                                  0x0E, 0x16, 0x02}));
}

TEST_F(PlayerRecordTest, VisualReaderSeesWhatTheWriterWrote) {
    const VisualRatings ratings = {10, 9, 8, 7, 6, 5, 4, 3};
    for (VisualLayout layout : {VisualLayout::Standard, VisualLayout::Relocated}) {
        Edit edit;
        ASSERT_TRUE(writeVisualRatings(edit, layout, 127, ratings));
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
