#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "game/VisualTable.h"
#include "storage/Edit.h"
#include "storage/Result.h"
#include "storage/RomFile.h"

namespace slamwise {

// Moving the visual table to free space at 0x27000 so that players 128 and on get records too.
inline constexpr std::uint32_t kRelocatedFiller = 0x27800;  // records 128..167, rating 10 each
inline constexpr int kFillerWords = 320;                    // 40 records of 8 words
inline constexpr std::uint16_t kFillerWord = 0x000A;        // rating 10, high byte 0

// The game's eight 3-byte pointers to the visual table, in the order they are patched, and the
// address they get: $04F000 (low, high, bank), the cartridge address of offset 0x27000.
inline constexpr std::array<std::uint32_t, 8> kVisualPointerSites = {
    0x51B1A, 0x51B37, 0x51B91, 0x51BAE, 0x51C19, 0x51C36, 0x51C90, 0x51CAD};
inline constexpr std::array<std::uint8_t, 3> kRelocatedPointer = {0x00, 0xF0, 0x04};

// Bytes that tell a relocated image at opening time.
inline constexpr std::uint32_t kMarkerA = 0x27001;  // high byte of record 0's speed word
inline constexpr std::uint32_t kMarkerB = 0x27801;  // high byte of the first filler word

// The whole relocation as one edit: the copy of the standard table (one write), the eight
// pointer patches (one 3-byte write each, in site order), then the 320 filler words. The checks
// come first: see relocateVisualTable in image/Action.h.
Result<Edit> relocationEdit(const RomFile& rom);
// The same from the 2048 bytes of the standard table (an image in memory).
Edit relocationEdit(std::span<const std::uint8_t, kStandardVisualSize> standardTable);

enum class RelocationState { Relocated, NotRelocated, Unknown };

// The marker rule: the decimal text of A followed by that of B, read as a number N. N == 0 is
// relocated, N == 255 is not, anything else tells nothing.
RelocationState relocationFromMarkers(std::uint8_t markerA, std::uint8_t markerB);

// The markers, overruled by the pointers: when all eight sites hold the relocated address the
// image is relocated whatever the markers say.
Result<RelocationState> detectRelocation(const RomFile& rom);
// The same rule over an image in memory; Unknown when it is too short to hold the markers and
// the pointer sites.
RelocationState relocationIn(std::span<const std::uint8_t> image);

}  // namespace slamwise
