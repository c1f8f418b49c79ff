#include "player/ActualTable.h"

namespace slamwise {

Result<PlayerRecord> readPlayerRecord(const RomFile& rom, int player) {
    const std::uint32_t base = actualOffset(player);
    PlayerRecord record;
    Status failed;
    auto byte = [&](std::uint32_t field, std::uint8_t& out) {
        if (!failed) {
            return;
        }
        Result<std::uint8_t> read = rom.read8(base + field);
        if (read) {
            out = *read;
        } else {
            failed = read.status();
        }
    };
    auto word = [&](std::uint32_t field, std::uint16_t& out) {
        if (!failed) {
            return;
        }
        Result<std::uint16_t> read = rom.read16(base + field);
        if (read) {
            out = *read;
        } else {
            failed = read.status();
        }
    };
    byte(kValueField, record.value);
    byte(kHeightField, record.height);
    byte(kDunkField, record.dunk);
    byte(kBlockField, record.block);
    byte(kStealField, record.steal);
    byte(kPassField, record.pass);
    byte(kPowerField, record.power);
    byte(kClutchField, record.clutch);
    word(kSpeedField, record.speedCode);
    word(kThreeField, record.threeCode);
    word(kAiField, record.aiWord);
    word(kSkinField, record.skinCode);
    if (!failed) {
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
