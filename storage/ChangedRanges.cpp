#include "storage/ChangedRanges.h"

#include <algorithm>
#include <cstring>

#include "storage/RomFile.h"

namespace slamwise {
namespace {

// A write of the edit, cut to the image: [begin, end), and its place in the edit.
struct Span {
    std::size_t begin;
    std::size_t end;
    std::size_t index;
};

using Reader = std::function<Status(std::uint32_t, std::span<std::uint8_t>)>;

// Writes less than this far apart are read together (the fields of one record), so that an
// edit of a whole table costs a read or two, not one per field; the bytes between them are
// unchanged and make no run.
constexpr std::size_t kJoinGap = 8;

// The runs of bytes that differ between `before` and `after`, which start at `at`.
void addRuns(std::size_t at, const std::vector<std::uint8_t>& before,
             const std::vector<std::uint8_t>& after, std::vector<ChangedRange>& ranges) {
    std::size_t i = 0;
    while (i < after.size()) {
        if (after[i] == before[i]) {
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        while (end < after.size() && after[end] != before[end]) {
            ++end;
        }
        const auto from = static_cast<std::ptrdiff_t>(i);
        const auto to = static_cast<std::ptrdiff_t>(end);
        ranges.push_back({static_cast<std::uint32_t>(at + i),
                          {before.begin() + from, before.begin() + to},
                          {after.begin() + from, after.begin() + to}});
        i = end;
    }
}

Result<std::vector<ChangedRange>> rangesOf(std::uint64_t imageSize, const Edit& edit,
                                           const Reader& read) {
    const Edit::Writes writes = edit.writes();
    std::vector<Span> spans;
    spans.reserve(writes.size());
    for (std::size_t k = 0; k < writes.size(); ++k) {
        const std::size_t begin = writes[k].offset;
        const std::size_t end = static_cast<std::size_t>(
            std::min<std::uint64_t>(begin + writes[k].bytes.size(), imageSize));
        if (begin < end) {
            spans.push_back({begin, end, k});
        }
    }
    std::sort(spans.begin(), spans.end(),
              [](const Span& a, const Span& b) { return a.begin < b.begin; });
    std::vector<ChangedRange> ranges;
    std::vector<std::uint8_t> before;
    std::vector<std::uint8_t> after;
    // Writes that overlap, touch or lie less than kJoinGap apart form one stretch: the image's
    // bytes with the writes put on them in the order of the edit.
    for (std::size_t first = 0; first < spans.size();) {
        std::size_t last = first + 1;
        std::size_t end = spans[first].end;
        while (last < spans.size() && spans[last].begin <= end + kJoinGap) {
            end = std::max(end, spans[last].end);
            ++last;
        }
        const std::size_t begin = spans[first].begin;
        before.resize(end - begin);
        if (Status status = read(static_cast<std::uint32_t>(begin), before); !status) {
            return status;
        }
        after = before;
        std::sort(spans.begin() + static_cast<std::ptrdiff_t>(first),
                  spans.begin() + static_cast<std::ptrdiff_t>(last),
                  [](const Span& a, const Span& b) { return a.index < b.index; });
        for (std::size_t s = first; s < last; ++s) {
            const std::span<const std::uint8_t> bytes = writes[spans[s].index].bytes;
            std::copy_n(bytes.begin(), spans[s].end - spans[s].begin,
                        after.begin() + static_cast<std::ptrdiff_t>(spans[s].begin - begin));
        }
        addRuns(begin, before, after, ranges);
        first = last;
    }
    return ranges;
}

}  // namespace

std::size_t changedByteCount(const std::vector<ChangedRange>& ranges) {
    std::size_t count = 0;
    for (const ChangedRange& range : ranges) {
        count += range.after.size();
    }
    return count;
}

std::vector<ChangedRange> changedRanges(std::span<const std::uint8_t> image, const Edit& edit) {
    return *rangesOf(image.size(), edit, [&](std::uint32_t offset, std::span<std::uint8_t> out) {
        std::memcpy(out.data(), image.data() + offset, out.size());
        return Status();
    });
}

Result<std::vector<ChangedRange>> changedRanges(const RomFile& rom, const Edit& edit) {
    return rangesOf(rom.imageSize(), edit, [&](std::uint32_t offset, std::span<std::uint8_t> out) {
        return rom.read(offset, out);
    });
}

}  // namespace slamwise
