#include "game/VisualTable.h"

#include "game/ActualTable.h"

namespace slamwise {

namespace {

// The eight ratings of one record, from its 16 bytes.
VisualRatings decodeRecord(const std::uint8_t* record) {
    VisualRatings ratings{};
    for (std::size_t i = 0; i < ratings.size(); ++i) {
        ratings[i] = record[kVisualRatingStep * i];
    }
    return ratings;
}

}  // namespace

Result<VisualRatings> readVisualRatings(const RomFile& rom, VisualLayout layout, int player) {
    std::array<std::uint8_t, kVisualStride> record{};
    if (Status status = rom.read(visualOffset(layout, player), record); !status) {
        return status;
    }
    return decodeRecord(record.data());
}

Result<std::vector<VisualRatings>> readVisualTable(const RomFile& rom, VisualLayout layout) {
    const std::size_t count =
        layout == VisualLayout::Standard ? kStandardVisualRecords : kPlayerCount;
    std::vector<std::uint8_t> table(kVisualStride * count);
    if (Status status = rom.read(visualOffset(layout, 0), table); !status) {
        return status;
    }
    std::vector<VisualRatings> records;
    records.reserve(count);
    for (std::size_t at = 0; at < table.size(); at += kVisualStride) {
        records.push_back(decodeRecord(table.data() + at));
    }
    return records;
}

}  // namespace slamwise
