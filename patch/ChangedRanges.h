#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "storage/Edit.h"

namespace slamwise {

// A run of consecutive bytes that an edit changes: what a dry run lists.
struct ChangedRange {
    std::uint32_t offset = 0;          // image offset of the first changed byte
    std::vector<std::uint8_t> before;  // the bytes the image holds there
    std::vector<std::uint8_t> after;   // the bytes the edit leaves there, each one different
    std::uint32_t last() const { return offset + static_cast<std::uint32_t>(after.size()) - 1; }
};

// The bytes `edit` would change in `image`, as runs in the order of their offsets; a later write
// of the edit wins over an earlier one, bytes written as they are do not count, and writes past
// the end of the image are left out (RomFile::check refuses them).
std::vector<ChangedRange> changedRanges(std::span<const std::uint8_t> image, const Edit& edit);

}  // namespace slamwise
