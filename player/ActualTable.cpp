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

void writePlayerRecord(Edit& edit, int player, const PlayerValues& values) {
    const std::uint32_t base = actualOffset(player);
    edit.put8(base + kDunkField, values.dunk);
    edit.put8(base + kBlockField, values.block);
    edit.put8(base + kStealField, values.steal);
    edit.put8(base + kPassField, values.pass);
    edit.put8(base + kPowerField, values.power);
    edit.put8(base + kClutchField, values.clutch);
    if (values.speed) {
        if (std::optional<std::uint16_t> code = codeFromSpeed(*values.speed)) {
            edit.put16(base + kSpeedField, *code);
        }
    }
    if (values.three) {
        if (std::optional<std::uint16_t> code = codeFromThree(*values.three)) {
            edit.put16(base + kThreeField, *code);
        }
    }
    edit.put16(base + kAiField, wordFromSlider(values.aiSlider));
    if (values.skin) {
        edit.put16(base + kSkinField, codeFromSkin(*values.skin));
    }
    if (values.height) {
        edit.put8(base + kHeightField, *values.height);
    }
}

}  // namespace slamwise
