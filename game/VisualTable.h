#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "storage/Result.h"
#include "storage/RomFile.h"

namespace slamwise {

// The visual table: the eight ratings the game shows for a player, 16 bytes per record, each
// rating in the low byte of a word (speed, three-point, dunk, pass, power, steal, block,
// clutch). It lives in one of two places.
inline constexpr std::uint32_t kStandardVisualTable = 0x930C9;   // record 0 of the original table
inline constexpr int kStandardVisualRecords = 128;               // players 0..127 only
inline constexpr std::uint32_t kRelocatedVisualTable = 0x27000;  // record 0 once relocated
inline constexpr std::uint32_t kVisualStride = 16;               // bytes per record
inline constexpr std::uint32_t kVisualRatingStep = 2;            // ratings at even offsets
inline constexpr int kVisualRatingCount = 8;
// The whole standard table, which the relocation copies as it is.
inline constexpr std::uint32_t kStandardVisualSize = kStandardVisualRecords * kVisualStride;

enum class VisualLayout { Standard, Relocated };

// Ratings in record order: speed, three, dunk, pass, power, steal, block, clutch.
using VisualRatings = std::array<std::uint8_t, kVisualRatingCount>;

// First byte of a player's visual record in the given layout.
constexpr std::uint32_t visualOffset(VisualLayout layout, int player) {
    return (layout == VisualLayout::Standard ? kStandardVisualTable : kRelocatedVisualTable) +
           kVisualStride * static_cast<std::uint32_t>(player);
}

// The standard table ends after player 127; the relocated one holds every player.
constexpr bool hasVisualRecord(VisualLayout layout, int player) {
    return player >= 0 && (layout == VisualLayout::Relocated || player < kStandardVisualRecords);
}

// The eight ratings of one record, from its 16 bytes (a record of an image in memory).
VisualRatings decodeVisualRecord(std::span<const std::uint8_t, kVisualStride> record);

// Reads the eight ratings (the low bytes only), the record in one read.
Result<VisualRatings> readVisualRatings(const RomFile& rom, VisualLayout layout, int player);
// Every record of the layout's table in one read: players 0..127 in the standard layout, every
// player (0..168) once relocated.
Result<std::vector<VisualRatings>> readVisualTable(const RomFile& rom, VisualLayout layout);

}  // namespace slamwise
