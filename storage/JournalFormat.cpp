// The journal's bytes on the disk: encoding, decoding, and whether a file can hold what an
// interrupted change left.
#include <algorithm>
#include <array>

#include "storage/Journal.h"

namespace slamwise {

namespace {

constexpr std::array<std::uint8_t, 8> kMagic = {'S', 'L', 'W', 'J', 'R', 'N', 'L', '1'};
constexpr std::size_t kHeaderSize = 8 + 4 + 4 + 8 + 8 + 8 + 4 + 4;  // up to the first range
constexpr std::size_t kRangeHeaderSize = 8 + 4;                     // offset, length
constexpr std::size_t kChecksumSize = 8;
constexpr std::uint64_t kFnvOffsetBasis = 0xCBF29CE484222325ULL;
constexpr std::uint64_t kFnvPrime = 0x100000001B3ULL;

void putLe(std::vector<std::uint8_t>& out, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

// Reads little-endian integers from a span, refusing to go past its end.
class Reader {
  public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool take(std::uint64_t& value, std::size_t size) {
        if (bytes_.size() - position_ < size) {
            return false;
        }
        value = 0;
        for (std::size_t i = 0; i < size; ++i) {
            value |= std::uint64_t{bytes_[position_ + i]} << (8 * i);
        }
        position_ += size;
        return true;
    }

    bool takeBytes(std::vector<std::uint8_t>& out, std::size_t size) {
        if (bytes_.size() - position_ < size) {
            return false;
        }
        out.assign(bytes_.begin() + static_cast<std::ptrdiff_t>(position_),
                   bytes_.begin() + static_cast<std::ptrdiff_t>(position_ + size));
        position_ += size;
        return true;
    }

    std::size_t remaining() const { return bytes_.size() - position_; }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

}  // namespace

std::uint64_t fnv1a64(std::span<const std::uint8_t> bytes) {
    std::uint64_t hash = kFnvOffsetBasis;
    for (std::uint8_t byte : bytes) {
        hash = (hash ^ byte) * kFnvPrime;
    }
    return hash;
}

bool fitsInterruptedChange(const Journal& journal,
                           const std::vector<std::vector<std::uint8_t>>& current) {
    if (current.size() != journal.ranges.size()) {
        return false;
    }
    // Whether some write of the change puts `value` at `position`.
    auto written = [&journal](std::uint64_t position, std::uint8_t value) {
        return std::any_of(journal.ranges.begin(), journal.ranges.end(),
                           [&](const JournalRange& range) {
                               return position >= range.fileOffset &&
                                      position - range.fileOffset < range.after.size() &&
                                      range.after[position - range.fileOffset] == value;
                           });
    };
    for (std::size_t k = 0; k < journal.ranges.size(); ++k) {
        const JournalRange& range = journal.ranges[k];
        if (current[k].size() != range.before.size()) {
            return false;
        }
        for (std::size_t i = 0; i < range.before.size(); ++i) {
            if (current[k][i] != range.before[i] && !written(range.fileOffset + i, current[k][i])) {
                return false;
            }
        }
    }
    return true;
}

std::vector<std::uint8_t> encodeJournal(const Journal& journal) {
    std::size_t size = kHeaderSize + kChecksumSize;
    for (const JournalRange& range : journal.ranges) {
        size += kRangeHeaderSize + range.before.size() + range.after.size();
    }
    std::vector<std::uint8_t> out;
    out.reserve(size);
    out.assign(kMagic.begin(), kMagic.end());
    putLe(out, kJournalVersion, 4);
    putLe(out, journal.ranges.size(), 4);
    putLe(out, journal.identity.device, 8);
    putLe(out, journal.identity.inode, 8);
    putLe(out, journal.identity.fileSize, 8);
    putLe(out, journal.identity.headerSize, 4);
    putLe(out, 0, 4);
    for (const JournalRange& range : journal.ranges) {
        putLe(out, range.fileOffset, 8);
        putLe(out, range.before.size(), 4);
        out.insert(out.end(), range.before.begin(), range.before.end());
        out.insert(out.end(), range.after.begin(), range.after.end());
    }
    putLe(out, fnv1a64(out), 8);
    return out;
}

std::optional<Journal> decodeJournal(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kHeaderSize + kChecksumSize || bytes.size() > kJournalMaxSize ||
        !std::equal(kMagic.begin(), kMagic.end(), bytes.begin())) {
        return std::nullopt;
    }
    std::span<const std::uint8_t> body = bytes.first(bytes.size() - kChecksumSize);
    Reader checksumReader(bytes.last(kChecksumSize));
    std::uint64_t checksum = 0;
    if (!checksumReader.take(checksum, kChecksumSize) || checksum != fnv1a64(body)) {
        return std::nullopt;
    }

    Reader reader(body.subspan(kMagic.size()));
    std::uint64_t version = 0, count = 0, headerSize = 0, reserved = 0;
    Journal journal;
    if (!reader.take(version, 4) || !reader.take(count, 4) ||
        !reader.take(journal.identity.device, 8) || !reader.take(journal.identity.inode, 8) ||
        !reader.take(journal.identity.fileSize, 8) || !reader.take(headerSize, 4) ||
        !reader.take(reserved, 4) || version != kJournalVersion || reserved != 0 ||
        count > reader.remaining() / kRangeHeaderSize) {
        return std::nullopt;
    }
    journal.identity.headerSize = static_cast<std::uint32_t>(headerSize);
    journal.ranges.resize(count);
    for (JournalRange& range : journal.ranges) {
        std::uint64_t length = 0;
        if (!reader.take(range.fileOffset, 8) || !reader.take(length, 4) ||
            !reader.takeBytes(range.before, length) || !reader.takeBytes(range.after, length) ||
            range.fileOffset > journal.identity.fileSize ||
            length > journal.identity.fileSize - range.fileOffset) {
            return std::nullopt;
        }
    }
    if (reader.remaining() != 0) {
        return std::nullopt;
    }
    return journal;
}

}  // namespace slamwise
