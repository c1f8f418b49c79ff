#include "patch/Ips.h"

#include <algorithm>
#include <string>

namespace slamwise {
namespace {

constexpr std::uint8_t kMagic[] = {'P', 'A', 'T', 'C', 'H'};
constexpr std::uint32_t kEof = 0x454F46;  // "EOF": no record may start at this offset
constexpr std::size_t kMaxRecordSize = 0xFFFF;
// A run of one value at least this long gets a record of its own (8 bytes): splitting a record
// around it costs two headers (13 bytes), so the run pays off.
constexpr std::size_t kMinRun = 14;
// Changed bytes at most this far apart share a record: a new record costs a 5-byte header.
constexpr std::size_t kJoinGap = 5;

void put24(std::vector<std::uint8_t>& out, std::size_t value) {
    out.insert(out.end(),
               {static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
                static_cast<std::uint8_t>(value)});
}

void put16(std::vector<std::uint8_t>& out, std::size_t value) {
    out.insert(out.end(),
               {static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)});
}

// Records that write edited[start, end): all of it, or a run of edited[start] when `run`.
void addRecords(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> edited,
                std::size_t start, std::size_t end, bool run) {
    while (start < end) {
        if (start == kEof) {
            // A record here would read as the end of the patch: this one starts a byte earlier
            // and writes that byte again as it is in the edited image.
            put24(out, kEof - 1);
            put16(out, 2);
            out.insert(out.end(), {edited[kEof - 1], edited[kEof]});
            start = kEof + 1;
            continue;
        }
        std::size_t size = std::min(end - start, kMaxRecordSize);
        put24(out, start);
        if (run) {
            put16(out, 0);
            put16(out, size);
            out.push_back(edited[start]);
        } else {
            put16(out, size);
            out.insert(out.end(), edited.begin() + static_cast<std::ptrdiff_t>(start),
                       edited.begin() + static_cast<std::ptrdiff_t>(start + size));
        }
        start += size;
    }
}

// Records for a stretch of changes: long runs of one value as run records, the rest as it is.
void addStretch(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> edited,
                std::size_t start, std::size_t end) {
    std::size_t plain = start;  // where the bytes not yet written begin
    std::size_t runStart = start;
    while (runStart < end) {
        std::size_t runEnd = runStart + 1;
        while (runEnd < end && edited[runEnd] == edited[runStart]) {
            ++runEnd;
        }
        if (runEnd - runStart >= kMinRun) {
            addRecords(out, edited, plain, runStart, false);
            addRecords(out, edited, runStart, runEnd, true);
            plain = runEnd;
        }
        runStart = runEnd;
    }
    addRecords(out, edited, plain, end, false);
}

std::size_t get24(std::span<const std::uint8_t> bytes, std::size_t at) {
    return std::size_t{bytes[at]} << 16 | std::size_t{bytes[at + 1]} << 8 | bytes[at + 2];
}

std::size_t get16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return std::size_t{bytes[at]} << 8 | bytes[at + 1];
}

Status damaged(const std::string& why) {
    return Status::failure("The IPS patch is damaged: " + why + ".");
}

Status cutOff(std::size_t at) {
    return damaged("its record at patch byte " + std::to_string(at) + " is cut off");
}

}  // namespace

Result<std::vector<std::uint8_t>> createIps(std::span<const std::uint8_t> original,
                                            std::span<const std::uint8_t> edited) {
    if (original.size() > kIpsMaxImageSize || edited.size() > kIpsMaxImageSize) {
        return Status::failure(
            "An IPS patch reaches only the first 16 MiB of an image, and this "
            "image has " +
            std::to_string(std::max(original.size(), edited.size())) +
            " bytes: make a BPS patch instead.");
    }
    std::vector<std::uint8_t> out(std::begin(kMagic), std::end(kMagic));
    auto changed = [&](std::size_t i) { return i >= original.size() || original[i] != edited[i]; };
    std::size_t i = 0;
    while (i < edited.size()) {
        if (!changed(i)) {
            ++i;
            continue;
        }
        std::size_t end = i + 1;  // one past the last changed byte of the stretch
        for (std::size_t next = end; next < edited.size() && next <= end + kJoinGap; ++next) {
            if (changed(next)) {
                end = next + 1;
            }
        }
        addStretch(out, edited, i, end);
        i = end;
    }
    out.insert(out.end(), {'E', 'O', 'F'});
    if (edited.size() < original.size()) {
        put24(out, edited.size());
    }
    return out;
}

Result<std::vector<std::uint8_t>> patchIps(std::span<const std::uint8_t> patch,
                                           std::span<const std::uint8_t> image) {
    if (patch.empty()) {
        return Status::failure("The patch is empty.");
    }
    if (patch.size() < std::size(kMagic) ||
        !std::equal(std::begin(kMagic), std::end(kMagic), patch.begin())) {
        return Status::failure("This is not an IPS patch: it does not start with \"PATCH\".");
    }
    std::vector<std::uint8_t> target(image.begin(), image.end());
    std::size_t at = std::size(kMagic);
    while (true) {
        if (patch.size() - at < 3) {
            return Status::failure("The IPS patch ends without \"EOF\": it is cut off or damaged.");
        }
        std::size_t offset = get24(patch, at);
        if (offset == kEof) {
            at += 3;
            break;
        }
        if (patch.size() - at < 5) {
            return cutOff(at);
        }
        std::size_t size = get16(patch, at + 3);
        std::size_t data = at + 5;
        bool run = size == 0;
        if (run) {
            if (patch.size() - data < 3) {
                return cutOff(at);
            }
            size = get16(patch, data);
        } else if (patch.size() - data < size) {
            return cutOff(at);
        }
        // Bytes past the end lengthen the image; a gap before them is filled with zeros.
        if (size > 0 && offset + size > target.size()) {
            target.resize(offset + size, 0);
        }
        if (run) {
            std::fill_n(target.begin() + static_cast<std::ptrdiff_t>(offset), size,
                        patch[data + 2]);
            at = data + 3;
        } else {
            std::copy_n(patch.begin() + static_cast<std::ptrdiff_t>(data), size,
                        target.begin() + static_cast<std::ptrdiff_t>(offset));
            at = data + size;
        }
    }
    // After "EOF": nothing, or the 3-byte size the result is cut to.
    if (patch.size() - at == 3) {
        target.resize(get24(patch, at), 0);
    } else if (patch.size() != at) {
        return damaged(std::to_string(patch.size() - at) + " unexpected bytes follow \"EOF\"");
    }
    return target;
}

Result<PatchResult> applyIps(std::span<const std::uint8_t> patch,
                             std::span<const std::uint8_t> image) {
    Result<std::vector<std::uint8_t>> target = patchIps(patch, image);
    if (!target) {
        return target.status();
    }
    if (target->size() != image.size()) {
        return sizeChangeRefusal(image.size(), target->size());
    }
    PatchResult result = changesBetween(image, *target);
    result.note =
        "An IPS patch carries no check: nothing tells whether it was made for this image.";
    return result;
}

}  // namespace slamwise
