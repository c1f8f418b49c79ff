#pragma once

#include <cstdint>
#include <span>

#include "storage/Edit.h"
#include "storage/Result.h"
#include "storage/RomFile.h"

namespace slamwise {

// The internal checksum of the cartridge header: a 16-bit word and its complement, so that the
// two add up to 0xFFFF.
inline constexpr std::uint32_t kChecksumComplementOffset = 0x7FDC;  // 16-bit complement
inline constexpr std::uint32_t kChecksumOffset = 0x7FDE;            // 16-bit checksum
inline constexpr std::uint32_t kChecksumEnd = 0x7FE0;               // images end here or later

// The checksum as the image stores it and as its bytes add up.
struct ChecksumState {
    std::uint16_t stored = 0;      // the word at 0x7FDE
    std::uint16_t complement = 0;  // the word at 0x7FDC
    std::uint16_t computed = 0;    // what the bytes add up to
    bool valid() const {
        return stored == computed && complement == static_cast<std::uint16_t>(~computed);
    }
    bool operator==(const ChecksumState&) const = default;
};

// The checksum of an image without a copier header: the 16-bit sum of its bytes. An image whose
// size is not a power of two counts its largest power-of-two part once and the rest, by the same
// rule, repeated until it fills that size again (3 MiB: the first 2 MiB once, the last 1 MiB
// twice). The four checksum bytes count as a matching pair, whatever they hold, so fixing them
// never changes the sum. `pending` is an edit not yet written: the state is that of the image as
// the edit would leave it. Images shorter than 0x7FE0 bytes hold no checksum and are refused.
Result<ChecksumState> checksumOf(std::span<const std::uint8_t> image, const Edit& pending = {});
// The same over the open file, read once in large blocks.
Result<ChecksumState> checksumOf(const RomFile& rom, const Edit& pending = {});

// Appends to `edit` the four bytes that store `checksum` and its complement.
void addChecksumWrite(Edit& edit, std::uint16_t checksum);
// Appends to `edit` the fix of the checksum of the image as the edit leaves it, so the fix is
// written by the same all-or-nothing action as the edit's other writes.
Status addChecksumFix(const RomFile& rom, Edit& edit);

}  // namespace slamwise
