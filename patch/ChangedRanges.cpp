#include "patch/ChangedRanges.h"

#include <algorithm>

namespace slamwise {
namespace {

// A write of the edit, cut to the image: [begin, end), and its place in the edit.
struct Span {
    std::size_t begin;
    std::size_t end;
    std::size_t index;
};

// The runs of bytes that differ between image[at, at + after.size()) and `after`.
void addRuns(std::span<const std::uint8_t> image, std::size_t at,
             const std::vector<std::uint8_t>& after, std::vector<ChangedRange>& ranges) {
    std::size_t i = 0;
    while (i < after.size()) {
        if (after[i] == image[at + i]) {
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        while (end < after.size() && after[end] != image[at + end]) {
            ++end;
        }
        auto from = static_cast<std::ptrdiff_t>(at + i);
        auto to = static_cast<std::ptrdiff_t>(at + end);
        ranges.push_back({static_cast<std::uint32_t>(at + i),
                          {image.begin() + from, image.begin() + to},
                          {after.begin() + static_cast<std::ptrdiff_t>(i),
                           after.begin() + static_cast<std::ptrdiff_t>(end)}});
        i = end;
    }
}

}  // namespace

std::vector<ChangedRange> changedRanges(std::span<const std::uint8_t> image, const Edit& edit) {
    const std::vector<Edit::Write>& writes = edit.writes();
    std::vector<Span> spans;
    spans.reserve(writes.size());
    for (std::size_t k = 0; k < writes.size(); ++k) {
        const std::size_t begin = writes[k].offset;
        const std::size_t end = std::min(begin + writes[k].bytes.size(), image.size());
        if (begin < end) {
            spans.push_back({begin, end, k});
        }
    }
    std::sort(spans.begin(), spans.end(),
              [](const Span& a, const Span& b) { return a.begin < b.begin; });
    std::vector<ChangedRange> ranges;
    std::vector<std::uint8_t> after;
    // Writes that overlap or touch form one stretch: the image's bytes with the writes put on
    // them in the order of the edit.
    for (std::size_t first = 0; first < spans.size();) {
        std::size_t last = first + 1;
        std::size_t end = spans[first].end;
        while (last < spans.size() && spans[last].begin <= end) {
            end = std::max(end, spans[last].end);
            ++last;
        }
        const std::size_t begin = spans[first].begin;
        after.assign(image.begin() + static_cast<std::ptrdiff_t>(begin),
                     image.begin() + static_cast<std::ptrdiff_t>(end));
        std::sort(spans.begin() + static_cast<std::ptrdiff_t>(first),
                  spans.begin() + static_cast<std::ptrdiff_t>(last),
                  [](const Span& a, const Span& b) { return a.index < b.index; });
        for (std::size_t s = first; s < last; ++s) {
            const std::vector<std::uint8_t>& bytes = writes[spans[s].index].bytes;
            std::copy_n(bytes.begin(), spans[s].end - spans[s].begin,
                        after.begin() + static_cast<std::ptrdiff_t>(spans[s].begin - begin));
        }
        addRuns(image, begin, after, ranges);
        first = last;
    }
    return ranges;
}

}  // namespace slamwise
