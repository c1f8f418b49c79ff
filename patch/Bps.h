#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "patch/Patch.h"

namespace slamwise {

// BPS: "BPS1", the source, target and metadata sizes as variable-length numbers, the metadata,
// then actions that build the target (SourceRead, TargetRead, SourceCopy, TargetCopy), and last
// the CRC32 of the source, of the target and of the patch before it, little-endian.

Result<std::vector<std::uint8_t>> createBps(std::span<const std::uint8_t> original,
                                            std::span<const std::uint8_t> edited);
// The image the patch makes; refused when `image` is not the one the patch was made from.
Result<std::vector<std::uint8_t>> patchBps(std::span<const std::uint8_t> patch,
                                           std::span<const std::uint8_t> image);
// What the patch changes in the image, refused when the size would change.
Result<PatchResult> applyBps(std::span<const std::uint8_t> patch,
                             std::span<const std::uint8_t> image);

}  // namespace slamwise
