// The BPS writer. The target is made left to right; at each place the writer takes the action
// that saves the most bytes: the source at the same place (SourceRead), the longest match
// anywhere in the source (SourceCopy, found in a suffix array of the source), the longest match
// in the part of the target already made (TargetCopy, found through a hash of the changed parts
// made so far; a run of one value is a TargetCopy from one byte back), or else the byte itself
// (TargetRead). Unchanged stretches cost one action whatever their length, so the search for
// copies runs only where the images differ.
#include <divsufsort.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include "patch/Bps.h"
#include "patch/BpsFormat.h"

namespace slamwise {
namespace {

using namespace bps;

// How many earlier places with the same first bytes a search of the target looks at.
constexpr int kChainDepth = 32;
constexpr std::size_t kHashBytes = 4;
constexpr unsigned kHashBits = 16;
// A stretch read from the source at the same place at least this long is taken without looking
// for copies: no copy can save much more.
constexpr std::size_t kLongSourceRead = 64;
constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// Numbers: 7 bits per byte, lowest first, the last byte marked by its top bit; each byte after
// the first also stands for one more of its weight, so every number has a single spelling.
void putNumber(std::vector<std::uint8_t>& out, std::uint64_t value) {
    while (true) {
        auto low = static_cast<std::uint8_t>(value & 0x7F);
        value >>= 7;
        if (value == 0) {
            out.push_back(0x80 | low);
            return;
        }
        out.push_back(low);
        --value;
    }
}

std::size_t numberSize(std::uint64_t value) {
    std::size_t size = 1;
    while ((value >>= 7) != 0) {
        --value;
        ++size;
    }
    return size;
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

// A copy's offset from where the last copy of its kind ended: the distance, then its sign.
std::uint64_t relative(std::uint64_t from, std::uint64_t last) {
    return from >= last ? (from - last) << 1 : (last - from) << 1 | 1;
}

// How many bytes of a from `a` on equal those of b from `b` on.
std::size_t common(std::span<const std::uint8_t> a, std::size_t at, std::span<const std::uint8_t> b,
                   std::size_t bt) {
    const std::size_t limit = std::min(a.size() - at, b.size() - bt);
    std::size_t n = 0;
    while (n + 8 <= limit) {
        std::uint64_t x = 0;
        std::uint64_t y = 0;
        std::memcpy(&x, a.data() + at + n, 8);
        std::memcpy(&y, b.data() + bt + n, 8);
        if (x != y) {
            return n + static_cast<std::size_t>(__builtin_ctzll(x ^ y) / 8);
        }
        n += 8;
    }
    while (n < limit && a[at + n] == b[bt + n]) {
        ++n;
    }
    return n;
}

struct Match {
    Action kind = TargetRead;
    std::size_t from = 0;  // where a copy reads
    std::size_t length = 0;
};

class Encoder {
  public:
    Encoder(std::span<const std::uint8_t> source, std::span<const std::uint8_t> target)
        : source_(source), target_(target), heads_(std::size_t{1} << kHashBits, -1) {}

    void actions(std::vector<std::uint8_t>& out);

  private:
    Match best(std::size_t at);
    Match sourceMatch(std::size_t at);
    Match targetMatch(std::size_t at) const;
    std::size_t cost(const Match& match) const;
    void emit(const Match& match, std::vector<std::uint8_t>& out);
    void remember(std::size_t begin, std::size_t end);
    std::uint32_t hashAt(std::size_t at) const;

    std::span<const std::uint8_t> source_;
    std::span<const std::uint8_t> target_;
    std::vector<saidx_t> suffixes_;  // of the source, made at the first change
    // The hash of the changed parts of the target made so far: the latest place for each hash,
    // and for each place the one before it with the same hash.
    std::vector<std::int32_t> heads_;
    std::vector<std::pair<std::int32_t, std::int32_t>> links_;  // place, index of the next link
    std::size_t remembered_ = 0;  // places before this are in the hash (or never will be)
    std::uint64_t sourceAt_ = 0;  // where the last SourceCopy ended
    std::uint64_t targetAt_ = 0;  // where the last TargetCopy ended
};

std::uint32_t Encoder::hashAt(std::size_t at) const {
    std::uint32_t word = 0;
    std::memcpy(&word, target_.data() + at, kHashBytes);
    return (word * 2654435761u) >> (32 - kHashBits);
}

void Encoder::remember(std::size_t begin, std::size_t end) {
    end = std::min(end, target_.size() >= kHashBytes ? target_.size() - kHashBytes + 1 : 0);
    for (std::size_t at = std::max(begin, remembered_); at < end; ++at) {
        // Inside a run of one value only its first place is kept: a later one matches less.
        if (at > 0 && std::memcmp(target_.data() + at - 1, target_.data() + at, kHashBytes) == 0) {
            continue;
        }
        std::int32_t& head = heads_[hashAt(at)];
        links_.push_back({static_cast<std::int32_t>(at), head});
        head = static_cast<std::int32_t>(links_.size() - 1);
    }
    remembered_ = std::max(remembered_, end);
}

std::size_t Encoder::cost(const Match& match) const {
    std::size_t size = numberSize((match.length - 1) << 2);
    if (match.kind == SourceCopy) {
        size += numberSize(relative(match.from, sourceAt_));
    } else if (match.kind == TargetCopy) {
        size += numberSize(relative(match.from, targetAt_));
    }
    return size;
}

// The longest match of the target from `at` on anywhere in the source: next to where the target
// would sort among the suffixes of the source.
Match Encoder::sourceMatch(std::size_t at) {
    if (source_.empty()) {
        return {};
    }
    if (suffixes_.empty()) {
        suffixes_.resize(source_.size());
        divsufsort(source_.data(), suffixes_.data(), static_cast<saidx_t>(source_.size()));
    }
    auto key = target_.subspan(at);
    auto less = [&](saidx_t suffix) {
        auto text = source_.subspan(static_cast<std::size_t>(suffix));
        std::size_t n = common(text, 0, key, 0);
        return n < key.size() && (n == text.size() || text[n] < key[n]);
    };
    std::size_t low = 0;
    std::size_t high = suffixes_.size();
    while (low < high) {
        std::size_t middle = low + (high - low) / 2;
        if (less(suffixes_[middle])) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    Match match{SourceCopy, 0, 0};
    for (std::size_t k : {low - 1, low}) {
        if (k < suffixes_.size()) {
            auto from = static_cast<std::size_t>(suffixes_[k]);
            std::size_t length = common(source_, from, target_, at);
            if (length > match.length) {
                match = {SourceCopy, from, length};
            }
        }
    }
    return match;
}

// The longest match in the target before `at`: one byte back (a run), or a remembered place.
Match Encoder::targetMatch(std::size_t at) const {
    Match match{TargetCopy, 0, 0};
    if (at == 0) {
        return match;
    }
    match = {TargetCopy, at - 1, common(target_, at - 1, target_, at)};
    if (at + kHashBytes > target_.size()) {
        return match;
    }
    std::int32_t link = heads_[hashAt(at)];
    for (int depth = 0; link >= 0 && depth < kChainDepth; ++depth) {
        auto [place, next] = links_[static_cast<std::size_t>(link)];
        auto from = static_cast<std::size_t>(place);
        if (from < at) {
            std::size_t length = common(target_, from, target_, at);
            if (length > match.length) {
                match = {TargetCopy, from, length};
            }
        }
        link = next;
    }
    return match;
}

// The action at `at` that saves the most, or a TargetRead of one byte when none saves anything.
Match Encoder::best(std::size_t at) {
    Match read{SourceRead, at, at < source_.size() ? common(source_, at, target_, at) : 0};
    if (read.length >= kLongSourceRead) {
        return read;
    }
    Match choice = read;
    auto gain = [this](const Match& m) {
        return m.length == 0 ? 0 : static_cast<long>(m.length) - static_cast<long>(cost(m));
    };
    const Match fromSource = sourceMatch(at);
    // Where the source matches, the target made so far may match longer: the same bytes, then
    // the changes made after them.
    Match sameInTarget{TargetCopy, fromSource.from, 0};
    if (fromSource.length > 0 && fromSource.from < at) {
        sameInTarget.length = common(target_, fromSource.from, target_, at);
    }
    for (const Match& other : {fromSource, sameInTarget, targetMatch(at)}) {
        if (gain(other) > gain(choice)) {
            choice = other;
        }
    }
    return choice;
}

void Encoder::emit(const Match& match, std::vector<std::uint8_t>& out) {
    putNumber(out, (match.length - 1) << 2 | match.kind);
    if (match.kind == SourceCopy) {
        putNumber(out, relative(match.from, sourceAt_));
        sourceAt_ = match.from + match.length;
    } else if (match.kind == TargetCopy) {
        putNumber(out, relative(match.from, targetAt_));
        targetAt_ = match.from + match.length;
    }
}

void Encoder::actions(std::vector<std::uint8_t>& out) {
    std::size_t literal = kNone;  // where the bytes to be sent as they are begin
    auto flush = [&](std::size_t end) {
        if (literal != kNone) {
            emit({TargetRead, literal, end - literal}, out);
            out.insert(out.end(), target_.begin() + static_cast<std::ptrdiff_t>(literal),
                       target_.begin() + static_cast<std::ptrdiff_t>(end));
            literal = kNone;
        }
    };
    std::size_t at = 0;
    while (at < target_.size()) {
        Match match = best(at);
        // Breaking off bytes sent as they are costs a new TargetRead after the match.
        long needed = literal == kNone ? 1 : 3;
        if (match.length > 0 &&
            static_cast<long>(match.length) - static_cast<long>(cost(match)) >= needed) {
            flush(at);
            emit(match, out);
            if (match.kind != SourceRead) {
                remember(at, at + match.length);
            }
            at += match.length;
        } else {
            if (literal == kNone) {
                literal = at;
            }
            remember(at, at + 1);
            ++at;
        }
    }
    flush(at);
}

}  // namespace

Result<std::vector<std::uint8_t>> createBps(std::span<const std::uint8_t> original,
                                            std::span<const std::uint8_t> edited) {
    if (original.size() > static_cast<std::size_t>(std::numeric_limits<saidx_t>::max()) ||
        edited.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        return Status::failure("The images are too large for a BPS patch made here.");
    }
    std::vector<std::uint8_t> out(std::begin(kMagic), std::end(kMagic));
    putNumber(out, original.size());
    putNumber(out, edited.size());
    putNumber(out, 0);  // no metadata
    Encoder(original, edited).actions(out);
    put32(out, crc32Of(original));
    put32(out, crc32Of(edited));
    put32(out, crc32Of(out));
    return out;
}

}  // namespace slamwise
