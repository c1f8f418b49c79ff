#include "rom/Journal.h"

#include <gtest/gtest.h>

namespace slamwise {
namespace {

Journal sampleJournal() {
    return {{0x801, 0x1234567, 0x200200, 512},
            {{0x200, {0x01, 0x02, 0x03}, {0x11, 0x12, 0x13}},
             {0x1FFFFE + 512, {0xAA, 0xBB}, {0xCC, 0xDD}},
             {0x300, {}, {}}}};
}

TEST(Journal, EncodedJournalDecodesToTheSameRanges) {
    Journal journal = sampleJournal();
    std::optional<Journal> decoded = decodeJournal(encodeJournal(journal));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(*decoded, journal);
}

TEST(Journal, EveryFlippedByteMakesItDamaged) {
    std::vector<std::uint8_t> bytes = encodeJournal(sampleJournal());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        for (std::uint8_t mask : {0x01, 0x80}) {
            std::vector<std::uint8_t> damaged = bytes;
            damaged[i] ^= mask;
            EXPECT_FALSE(decodeJournal(damaged)) << "byte " << i << " mask " << int{mask};
        }
    }
}

TEST(Journal, EveryTruncationOrExtensionMakesItDamaged) {
    std::vector<std::uint8_t> bytes = encodeJournal(sampleJournal());
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        EXPECT_FALSE(decodeJournal(std::span(bytes).first(size))) << size;
    }
    bytes.push_back(0);
    EXPECT_FALSE(decodeJournal(bytes));
}

TEST(Journal, RangesPastTheRecordedFileSizeAreRefusedEvenWithAGoodChecksum) {
    Journal journal = sampleJournal();
    journal.ranges.push_back({journal.identity.fileSize - 1, {0x00, 0x00}, {0x01, 0x01}});
    EXPECT_FALSE(decodeJournal(encodeJournal(journal)));
    journal.ranges.back() = {~std::uint64_t{0}, {0x00}, {0x01}};
    EXPECT_FALSE(decodeJournal(encodeJournal(journal)));
}

// The file may hold, byte by byte, the old value or a value the change writes there (a write cut
// short leaves a mix); anything else means it was changed after the interruption.
TEST(Journal, OnlyOldOrNewBytesFitTheInterruptedChange) {
    // Two writes to the same place, as in an edit that sets a byte twice.
    Journal journal{{}, {{0x10, {0xA0, 0xA1}, {0xB0, 0xB1}}, {0x11, {0xA1}, {0xC1}}}};
    using Bytes = std::vector<std::vector<std::uint8_t>>;
    EXPECT_TRUE(fitsInterruptedChange(journal, Bytes{{0xA0, 0xA1}, {0xA1}}));  // nothing written
    EXPECT_TRUE(fitsInterruptedChange(journal, Bytes{{0xB0, 0xA1}, {0xA1}}));  // cut short
    EXPECT_TRUE(fitsInterruptedChange(journal, Bytes{{0xB0, 0xB1}, {0xB1}}));  // first write
    EXPECT_TRUE(fitsInterruptedChange(journal, Bytes{{0xB0, 0xC1}, {0xC1}}));  // both writes
    EXPECT_FALSE(fitsInterruptedChange(journal, Bytes{{0xB0, 0x00}, {0x00}}));
    EXPECT_FALSE(fitsInterruptedChange(journal, Bytes{{0xA0}, {0xA1}}));
}

}  // namespace
}  // namespace slamwise
