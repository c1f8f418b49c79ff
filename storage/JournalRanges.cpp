#include "storage/JournalRanges.h"

#include <algorithm>
#include <functional>
#include <numeric>

#include "storage/FileIo.h"

namespace slamwise::journal {

namespace {

// Ranges less than this far apart are read together, in reads of at most kMaxGroupRead bytes.
constexpr std::uint64_t kReadTogetherGap = 4096;
constexpr std::uint64_t kMaxGroupRead = 64 * 1024;
constexpr std::uint64_t kJoinGap = 8;

// Sorts the items; true when they were in order already. An edit is made of a few runs that
// each go front to back (a table, then the pointers to it, ...): merging the runs costs far
// less than sorting every item again. Items the order holds equal may come in any order.
template <class Item, class Before>
bool sortRuns(std::vector<Item>& items, Before before) {
    constexpr int kMostRuns = 8;  // beyond that, one sort costs less
    int runs = 0;
    for (auto run = items.begin(); run != items.end(); ++runs) {
        const auto end = std::is_sorted_until(run, items.end(), before);
        if (runs == kMostRuns) {
            std::sort(items.begin(), items.end(), before);
            return false;
        }
        std::inplace_merge(items.begin(), run, end, before);
        run = end;
    }
    return runs <= 1;
}

}  // namespace

Status readRanges(int fd, const std::vector<RangeRead>& ranges, std::size_t& failedRange) {
    std::vector<std::size_t> order(ranges.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return ranges[a].fileOffset < ranges[b].fileOffset;
    });
    struct Group {
        std::uint64_t begin;
        std::uint64_t end;
        std::size_t first;  // the group's first range in the order of `ranges`
        std::vector<std::size_t> members;
    };
    std::vector<Group> groups;
    for (std::size_t k : order) {
        const std::uint64_t begin = ranges[k].fileOffset;
        const std::uint64_t end = begin + ranges[k].into.size();
        if (groups.empty() || begin > groups.back().end + kReadTogetherGap ||
            std::max(end, groups.back().end) - groups.back().begin > kMaxGroupRead) {
            groups.push_back({begin, end, k, {}});
        }
        Group& group = groups.back();
        group.end = std::max(group.end, end);
        group.first = std::min(group.first, k);
        group.members.push_back(k);
    }
    std::sort(groups.begin(), groups.end(),
              [](const Group& a, const Group& b) { return a.first < b.first; });
    std::vector<std::uint8_t> buffer;
    for (const Group& group : groups) {
        buffer.resize(group.end - group.begin);
        if (Status status = readAt(fd, group.begin, buffer); !status) {
            failedRange = group.first;
            return status;
        }
        for (std::size_t k : group.members) {
            auto from =
                buffer.begin() + static_cast<std::ptrdiff_t>(ranges[k].fileOffset - group.begin);
            std::copy(from, from + static_cast<std::ptrdiff_t>(ranges[k].into.size()),
                      ranges[k].into.begin());
        }
    }
    return {};
}

std::vector<Stretch> stretchesOf(const Edit& edit, std::uint64_t header) {
    const Edit::Writes writes = edit.writes();
    std::vector<std::size_t> order(writes.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    const bool inOrder = sortRuns(
        order, [&](std::size_t a, std::size_t b) { return writes[a].offset < writes[b].offset; });
    std::vector<Stretch> stretches;
    for (std::size_t k : order) {
        const std::uint64_t begin = header + writes[k].offset;
        const std::uint64_t end = begin + writes[k].bytes.size();
        if (stretches.empty() || begin > stretches.back().end + kJoinGap) {
            stretches.push_back({begin, end, k, {}});
        }
        Stretch& stretch = stretches.back();
        stretch.end = std::max(stretch.end, end);
        stretch.firstWrite = std::min(stretch.firstWrite, k);
        stretch.writes.push_back(k);
    }
    if (inOrder) {
        return stretches;  // written front to back: the stretches and their writes are in order
    }
    for (Stretch& stretch : stretches) {
        sortRuns(stretch.writes, std::less<>());
    }
    sortRuns(stretches,
             [](const Stretch& a, const Stretch& b) { return a.firstWrite < b.firstWrite; });
    return stretches;
}

}  // namespace slamwise::journal
