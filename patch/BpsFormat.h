#pragma once

// What the BPS reader and writer share: the magic, the actions and the checksum.
#include <zlib.h>

#include <cstdint>
#include <span>

namespace slamwise::bps {

inline constexpr std::uint8_t kMagic[] = {'B', 'P', 'S', '1'};
inline constexpr std::size_t kChecksumsSize = 12;  // CRC32 of source, target and patch
enum Action { SourceRead = 0, TargetRead = 1, SourceCopy = 2, TargetCopy = 3 };

inline std::uint32_t crc32Of(std::span<const std::uint8_t> bytes) {
    return static_cast<std::uint32_t>(crc32_z(0, bytes.data(), bytes.size()));
}

}  // namespace slamwise::bps
