#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "game/Encodings.h"
#include "storage/Result.h"
#include "storage/RomFile.h"

namespace slamwise {

// The actual player table: the values the game plays with, one 26-byte record per player.
inline constexpr std::uint32_t kActualTable = 0x1FB8CF;  // record of player 0
inline constexpr std::uint32_t kActualStride = 26;       // bytes per record
inline constexpr int kPlayerCount = 169;                 // records 0..168

// Fields within a record. One-byte fields sit in the low byte of a 2-byte slot; the high byte
// and the last slot (0x18) are left alone.
inline constexpr std::uint32_t kValueField = 0x00;   // 1 byte, player value, read only
inline constexpr std::uint32_t kHeightField = 0x02;  // 1 byte, 0 normal, 1 small
inline constexpr std::uint32_t kSpeedField = 0x04;   // word, speed code
inline constexpr std::uint32_t kThreeField = 0x06;   // word, three-point code
inline constexpr std::uint32_t kDunkField = 0x08;    // 1 byte rating
inline constexpr std::uint32_t kBlockField = 0x0A;   // 1 byte rating
inline constexpr std::uint32_t kStealField = 0x0C;   // 1 byte rating
inline constexpr std::uint32_t kAiField = 0x0E;      // signed word, slider position - 11
inline constexpr std::uint32_t kPassField = 0x10;    // 1 byte rating
inline constexpr std::uint32_t kPowerField = 0x12;   // 1 byte rating
inline constexpr std::uint32_t kClutchField = 0x14;  // 1 byte rating
inline constexpr std::uint32_t kSkinField = 0x16;    // word, skin code

// The stored height byte.
enum class Height : std::uint8_t { Normal = 0, Small = 1 };

// First byte of a player's actual record.
constexpr std::uint32_t actualOffset(int player) {
    return kActualTable + kActualStride * static_cast<std::uint32_t>(player);
}

// The fields the editor reads, as stored.
struct PlayerRecord {
    std::uint8_t value = 0;
    std::uint8_t height = 0;
    std::uint16_t speedCode = 0;
    std::uint16_t threeCode = 0;
    std::uint8_t dunk = 0;
    std::uint8_t block = 0;
    std::uint8_t steal = 0;
    std::uint16_t aiWord = 0;
    std::uint8_t pass = 0;
    std::uint8_t power = 0;
    std::uint8_t clutch = 0;
    std::uint16_t skinCode = 0;

    bool operator==(const PlayerRecord&) const = default;
};

// The listed fields of one record, from its 26 bytes (a record of an image in memory).
PlayerRecord decodePlayerRecord(std::span<const std::uint8_t, kActualStride> bytes);

// Reads the listed fields of player 0..168 (the record in one read).
Result<PlayerRecord> readPlayerRecord(const RomFile& rom, int player);
// The records of players 0..168 in order, the whole table in one read.
Result<std::vector<PlayerRecord>> readPlayerRecords(const RomFile& rom);

}  // namespace slamwise
