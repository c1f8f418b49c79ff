#include <gtest/gtest.h>

#include "roster/RosterTable.h"
#include "tests/support/ImageBuilder.h"

namespace slamwise {
namespace {

using test::changedOffsets;
using test::Image;
using test::readFile;
using test::TempDir;

constexpr std::uint32_t kLastTableByte = 0xB21DE;  // last byte of the table, never used

// A synthetic image on disk, opened for reading and writing.
class RosterTableTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = image_.writeTo(dir_.file("roster.sfc"));
        reopen();
    }

    // The file was rewritten behind the open RomFile, which then refuses to write to it.
    void reopen() {
        rom_.reset();
        Result<RomFile> opened = RomFile::open(path_);
        ASSERT_TRUE(opened) << opened.error();
        rom_.emplace(std::move(opened).value());
    }

    // Applies the edit and returns the offsets that changed in the file.
    std::vector<std::uint32_t> applyAndDiff(const Edit& edit) {
        Status status = rom_->apply(edit);
        EXPECT_TRUE(status) << status.message();
        return changedOffsets(image_.bytes(), readFile(path_));
    }

    // Makes every byte of the slot differ from the values the tests write.
    void seedSlot(std::uint32_t slotStart) {
        for (std::uint32_t i = 0; i < kRosterSlotSize; ++i) {
            image_.at(slotStart + i) = static_cast<std::uint8_t>(0x40 + i);
        }
        image_.writeTo(path_);
        reopen();
    }

    Image image_;
    TempDir dir_;
    std::string path_;
    std::optional<RomFile> rom_;
};

TEST_F(RosterTableTest, TeamOffsetsOfFirstSecondAndLastTeam) {
    EXPECT_EQ(teamOffset(0), 727247u);
    EXPECT_EQ(hexOffset(teamOffset(0)), "$B18CF");
    EXPECT_EQ(teamOffset(1), 727327u);
    EXPECT_EQ(hexOffset(teamOffset(1)), "$B191F");
    EXPECT_EQ(teamOffset(28), 729487u);
    EXPECT_EQ(hexOffset(teamOffset(28)), "$B218F");
}

TEST_F(RosterTableTest, ReadSlotTakesBytesZeroAndTwo) {
    struct Case {
        int team, slot;
        std::uint32_t position1, position2;
    };
    for (Case c : {Case{0, 0, 0xB18CF, 0xB18D1}, Case{0, 19, 0xB191B, 0xB191D},
                   Case{1, 0, 0xB191F, 0xB1921}, Case{28, 19, 0xB21DB, 0xB21DD}}) {
        Result<RosterSlot> slot = readSlot(*rom_, c.team, c.slot);
        ASSERT_TRUE(slot) << slot.error();
        EXPECT_EQ(slot->position1, image_.at(c.position1)) << c.team << "/" << c.slot;
        EXPECT_EQ(slot->position2, image_.at(c.position2)) << c.team << "/" << c.slot;
    }
}

TEST_F(RosterTableTest, WriteSlotChangesOnlyBytesZeroAndTwo) {
    struct Case {
        int team, slot;
        std::uint32_t start;
    };
    for (Case c : {Case{0, 0, 0xB18CF}, Case{1, 0, 0xB191F}, Case{28, 19, 0xB21DB}}) {
        seedSlot(c.start);
        Edit edit;
        ASSERT_TRUE(writeSlot(edit, c.team, c.slot, {0x12, 0x34}));
        EXPECT_EQ(applyAndDiff(edit), (std::vector<std::uint32_t>{c.start, c.start + 2}));
        std::vector<std::uint8_t> after = readFile(path_);
        EXPECT_EQ(after[c.start], 0x12);
        EXPECT_EQ(after[c.start + 2], 0x34);
        image_ = Image();  // back to the untouched image for the next case
        image_.writeTo(path_);
        reopen();
    }
}

TEST_F(RosterTableTest, WriteSlotWritesPositionOneFirst) {
    Edit edit;
    ASSERT_TRUE(writeSlot(edit, 2, 3, {0x01, 0x02}));
    ASSERT_EQ(edit.writes().size(), 2u);
    EXPECT_EQ(edit.writes()[0].offset, 0xB18CFu + 160 + 12);
    EXPECT_EQ(edit.writes()[1].offset, 0xB18CFu + 160 + 14);
}

TEST_F(RosterTableTest, EndRosterWritesFeAndFfOnly) {
    for (auto [team, slot, start] : {std::tuple{0, 19, 0xB191Bu}, std::tuple{28, 19, 0xB21DBu}}) {
        seedSlot(start);
        Edit edit;
        ASSERT_TRUE(endRoster(edit, team, slot));
        EXPECT_EQ(applyAndDiff(edit), (std::vector<std::uint32_t>{start, start + 1}));
        std::vector<std::uint8_t> after = readFile(path_);
        EXPECT_EQ(after[start], 0xFE);
        EXPECT_EQ(after[start + 1], 0xFF);
        EXPECT_EQ(after[kLastTableByte], image_.at(kLastTableByte));
        image_ = Image();
        image_.writeTo(path_);
        reopen();
    }
}

TEST_F(RosterTableTest, IndicesOutsideTheTableTouchNothing) {
    for (auto [team, slot] : {std::pair{-1, 0}, std::pair{29, 0}, std::pair{0, -1},
                              std::pair{0, 20}, std::pair{28, 20}}) {
        Edit edit;
        EXPECT_FALSE(writeSlot(edit, team, slot, {1, 2}));
        EXPECT_FALSE(endRoster(edit, team, slot));
        EXPECT_TRUE(edit.empty());
        EXPECT_FALSE(readSlot(*rom_, team, slot));
    }
    EXPECT_EQ(teamOffset(29), 0u);
    EXPECT_EQ(teamOffset(-1), 0u);
}

TEST(RosterEntryText, EveryCodeHasItsEntry) {
    GameNames names;
    for (int i = 0; i < GameNames::kRosterPlayerCount; ++i) {
        names.players.push_back("P");
        names.players.back() += std::to_string(i);
    }
    for (int code = 0; code < kRosterEntryCount; ++code) {
        std::string text = rosterEntryText(names, static_cast<std::uint8_t>(code));
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02X", code);
        std::string expected;
        if (code == 0) {
            expected = "00-P0 (*)";
        } else if (code <= 0xA9) {
            expected = std::string(digits) + "-P" + std::to_string(code);
        } else if (code == 0xFE) {
            expected = "FE-End of Team Roster Data";
        } else {
            expected = "Unknown/Dummy";
        }
        EXPECT_EQ(text, expected) << code;
    }
    EXPECT_EQ(rosterEntryText(names, 0xA9), "A9-P169");
    EXPECT_EQ(rosterEntryText(names, 0xC0), "Unknown/Dummy");
    EXPECT_EQ(rosterEntryText(names, 0xFF), "Unknown/Dummy");
}

}  // namespace
}  // namespace slamwise
