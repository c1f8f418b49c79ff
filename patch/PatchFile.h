#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "patch/Patch.h"
#include "storage/Result.h"
#include "storage/RomFile.h"

namespace slamwise {

// Patch files: made between two open images, read, and written without ever leaving a
// half-written file behind.

// A patch and what the user should be told about it.
struct CreatedPatch {
    std::vector<std::uint8_t> bytes;
    std::vector<std::string> notes;  // one for each image whose copier header was left out
};

// The patch that turns `original` into `edited`, both without their copier headers.
Result<CreatedPatch> createPatchBetween(PatchFormat format, const RomFile& original,
                                        const RomFile& edited);

// What the patch file at `patchPath` (its format by its first bytes) changes in the open image,
// checked completely; nothing is written.
Result<PatchResult> patchFileFor(const RomFile& image, const std::string& patchPath,
                                 IpsOffsets ipsOffsets = IpsOffsets::Image);

// Writes `bytes` to `path` as a whole or not at all (writeFileAtomically: through "<path>.tmp",
// which the next write of the same patch replaces when a crash left it). A path that names one
// of `images` is refused.
Status writePatchFile(const std::string& path, std::span<const std::uint8_t> bytes,
                      const std::vector<std::string>& images);

}  // namespace slamwise
