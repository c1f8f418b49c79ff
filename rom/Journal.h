#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace slamwise {

// The journal of one change: the bytes of the image that the change is about to overwrite (and
// the bytes it writes), kept in a small file beside the image until the change is complete. If
// the program or the computer stops in the middle, the next opening puts the old bytes back,
// provided the file still holds only old bytes and bytes of the change.
//
// Layout (integers little-endian):
//   8 bytes  magic "SLWJRNL1"
//   u32      format version (1)
//   u32      number of ranges
//   u64      device, u64 inode, u64 file size, u32 copier-header size, u32 zero
//   ranges   u64 file offset, u32 length, the old bytes, then the new bytes
//   u64      64-bit FNV-1a checksum of everything before it
struct JournalIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t fileSize = 0;
    std::uint32_t headerSize = 0;
    bool operator==(const JournalIdentity&) const = default;
};

struct JournalRange {
    std::uint64_t fileOffset = 0;      // from the start of the file, copier header included
    std::vector<std::uint8_t> before;  // what the change replaces
    std::vector<std::uint8_t> after;   // what the change writes, as long as before
    bool operator==(const JournalRange&) const = default;
};

struct Journal {
    JournalIdentity identity;
    std::vector<JournalRange> ranges;
    bool operator==(const Journal&) const = default;
};

inline constexpr std::uint32_t kJournalVersion = 1;
// A journal larger than this is not one of ours (the largest change writes a few KiB).
inline constexpr std::size_t kJournalMaxSize = 16 * 1024 * 1024;

std::vector<std::uint8_t> encodeJournal(const Journal& journal);

// The journal held by the bytes, or nothing when they are not an intact journal of this format
// (wrong magic or version, bad checksum, truncated, ranges past the recorded file size).
std::optional<Journal> decodeJournal(std::span<const std::uint8_t> bytes);

// Whether the bytes now at the journal's ranges (current[k] holding range k) can have been left by
// the interrupted change: every byte is its old value or a value the change writes there. When
// not, the file was changed since, and putting the old bytes back would damage it.
bool fitsInterruptedChange(const Journal& journal,
                           const std::vector<std::vector<std::uint8_t>>& current);

std::uint64_t fnv1a64(std::span<const std::uint8_t> bytes);

}  // namespace slamwise
