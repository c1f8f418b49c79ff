#include "game/VisualTable.h"

#include "game/ActualTable.h"

namespace slamwise {

VisualRatings decodeVisualRecord(std::span<const std::uint8_t, kVisualStride> record) {
    VisualRatings ratings{};
    for (std::size_t i = 0; i < ratings.size(); ++i) {
        ratings[i] = record[kVisualRatingStep * i];
    }
    return ratings;
}

Result<VisualRatings> readVisualRatings(const RomFile& rom, VisualLayout layout, int player) {
    std::array<std::uint8_t, kVisualStride> record{};
    if (Status status = rom.read(visualOffset(layout, player), record); !status) {
        return status;
    }
    return decodeVisualRecord(record);
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
        records.push_back(decodeVisualRecord(
            std::span<const std::uint8_t, kVisualStride>(table.data() + at, kVisualStride)));
    }
    return records;
}

}  // namespace slamwise
