#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "patch/Patch.h"

namespace slamwise {

// IPS: "PATCH", then records of a 3-byte offset and a 2-byte size (big-endian) followed by that
// many bytes, or by a 2-byte run length and one byte to repeat when the size is 0; then "EOF" and,
// when the result is shorter than the original, its 3-byte size. Offsets reach 16 MiB.
inline constexpr std::uint64_t kIpsMaxImageSize = 0x1000000;

Result<std::vector<std::uint8_t>> createIps(std::span<const std::uint8_t> original,
                                            std::span<const std::uint8_t> edited);
// The image the patch makes, of whatever size the records and a truncation give it.
Result<std::vector<std::uint8_t>> patchIps(std::span<const std::uint8_t> patch,
                                           std::span<const std::uint8_t> image);
// What the patch changes in the image, refused when the size would change. With a header size,
// the records count their offsets from the start of a file that holds a copier header of that
// size before the image; a record that writes into the header is refused.
Result<PatchResult> applyIps(std::span<const std::uint8_t> patch,
                             std::span<const std::uint8_t> image, std::size_t headerSize = 0);

}  // namespace slamwise
