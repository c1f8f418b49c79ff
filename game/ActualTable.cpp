#include "game/ActualTable.h"

#include <array>
#include <span>

namespace slamwise {

using RecordBytes = std::span<const std::uint8_t, kActualStride>;

PlayerRecord decodePlayerRecord(RecordBytes bytes) {
    auto word = [&](std::uint32_t field) {
        return static_cast<std::uint16_t>(bytes[field] | (bytes[field + 1] << 8));
    };
    PlayerRecord record;
    record.value = bytes[kValueField];
    record.height = bytes[kHeightField];
    record.speedCode = word(kSpeedField);
    record.threeCode = word(kThreeField);
    record.dunk = bytes[kDunkField];
    record.block = bytes[kBlockField];
    record.steal = bytes[kStealField];
    record.aiWord = word(kAiField);
    record.pass = bytes[kPassField];
    record.power = bytes[kPowerField];
    record.clutch = bytes[kClutchField];
    record.skinCode = word(kSkinField);
    return record;
}

Result<PlayerRecord> readPlayerRecord(const RomFile& rom, int player) {
    std::array<std::uint8_t, kActualStride> bytes{};
    if (Status status = rom.read(actualOffset(player), bytes); !status) {
        return status;
    }
    return decodePlayerRecord(bytes);
}

Result<std::vector<PlayerRecord>> readPlayerRecords(const RomFile& rom) {
    std::vector<std::uint8_t> table(std::size_t{kActualStride} * kPlayerCount);
    if (Status status = rom.read(kActualTable, table); !status) {
        return status;
    }
    std::vector<PlayerRecord> records;
    records.reserve(kPlayerCount);
    for (std::size_t at = 0; at < table.size(); at += kActualStride) {
        records.push_back(decodePlayerRecord(RecordBytes(table.data() + at, kActualStride)));
    }
    return records;
}

}  // namespace slamwise
