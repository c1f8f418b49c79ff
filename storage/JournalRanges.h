#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "storage/Edit.h"
#include "storage/Result.h"

// The pieces of a change the journal works with: the ranges it reads from the image and the
// stretches it writes. Only the journal uses them.
namespace slamwise::journal {

// Where a range lies in the file and where its bytes go.
struct RangeRead {
    std::uint64_t fileOffset;
    std::span<std::uint8_t> into;
};

// Fills every range from the file, ranges that lie close together in one read. Groups are read
// in the order of their first range in `ranges`; on a failure, failedRange is the first range of
// the group that could not be read.
Status readRanges(int fd, const std::vector<RangeRead>& ranges, std::size_t& failedRange);

// A stretch of the file that a change writes at once: the edit's writes that fall in it, in
// edit order, and the first of them.
struct Stretch {
    std::uint64_t begin;
    std::uint64_t end;
    std::size_t firstWrite;
    std::vector<std::size_t> writes;
};

// The stretches of an edit, in the order of their first write. Writes at most kJoinGap bytes
// apart share a stretch, the bytes between them written back as they are: every write of the
// file costs far more than a few more bytes.
std::vector<Stretch> stretchesOf(const Edit& edit, std::uint64_t header);

}  // namespace slamwise::journal
