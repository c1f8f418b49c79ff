#include "player/ActualTable.h"

#include <type_traits>

namespace slamwise {

Result<PlayerRecord> readPlayerRecord(const RomFile& rom, int player) {
    const std::uint32_t base = actualOffset(player);
    PlayerRecord record;
    Status failed;
    // Reads one field (one byte or one little-endian word) unless an earlier read failed.
    auto field = [&](std::uint32_t offset, auto& out) {
        if (!failed.ok()) {
            return;
        }
        std::uint8_t bytes[sizeof out] = {};
        failed = rom.read(base + offset, bytes);
        unsigned value = bytes[0];
        if constexpr (sizeof out == 2) {
            value |= unsigned{bytes[1]} << 8;
        }
        out = static_cast<std::remove_reference_t<decltype(out)>>(value);
    };
    field(kValueField, record.value);
    field(kHeightField, record.height);
    field(kDunkField, record.dunk);
    field(kBlockField, record.block);
    field(kStealField, record.steal);
    field(kPassField, record.pass);
    field(kPowerField, record.power);
    field(kClutchField, record.clutch);
    field(kSpeedField, record.speedCode);
    field(kThreeField, record.threeCode);
    field(kAiField, record.aiWord);
    field(kSkinField, record.skinCode);
    if (!failed.ok()) {
        return failed;
    }
    return record;
}

}  // namespace slamwise
