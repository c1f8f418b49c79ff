#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "storage/Edit.h"
#include "storage/Result.h"

namespace slamwise {

class RomFile;

// A run of consecutive bytes that an edit changes: what a dry run lists.
struct ChangedRange {
    std::uint32_t offset = 0;          // image offset of the first changed byte
    std::vector<std::uint8_t> before;  // the bytes the image holds there
    std::vector<std::uint8_t> after;   // the bytes the edit leaves there, each one different
    std::uint32_t last() const { return offset + static_cast<std::uint32_t>(after.size()) - 1; }
};

// How many bytes the ranges change.
std::size_t changedByteCount(const std::vector<ChangedRange>& ranges);

// The bytes `edit` would change, as runs in the order of their offsets; a later write of the
// edit wins over an earlier one, bytes written as they are do not count, and writes past the end
// of the image are left out (RomFile::check refuses them). The image is an image in memory, or
// the open file, which is read once for each stretch of the edit's writes.
std::vector<ChangedRange> changedRanges(std::span<const std::uint8_t> image, const Edit& edit);
Result<std::vector<ChangedRange>> changedRanges(const RomFile& rom, const Edit& edit);

}  // namespace slamwise
