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

struct Record {
    std::size_t offset;
    std::size_t size;
    std::span<const std::uint8_t> bytes;  // empty for a run
    std::uint8_t runValue;
};

struct Records {
    std::vector<Record> records;
    std::size_t resultSize;  // of the image the records make
};

// Reads the whole patch; the result is as long as the image or as the last byte written, or as
// long as the size after "EOF" says.
Result<Records> readRecords(std::span<const std::uint8_t> patch, std::size_t imageSize) {
    if (patch.empty()) {
        return Status::failure("The patch is empty.");
    }
    if (patch.size() < std::size(kMagic) ||
        !std::equal(std::begin(kMagic), std::end(kMagic), patch.begin())) {
        return Status::failure("This is not an IPS patch: it does not start with \"PATCH\".");
    }
    Records result{{}, imageSize};
    std::size_t at = std::size(kMagic);
    while (true) {
        if (patch.size() - at < 3) {
            return Status::failure("The IPS patch ends without \"EOF\": it is cut off or damaged.");
        }
        Record record{get24(patch, at), 0, {}, 0};
        if (record.offset == kEof) {
            at += 3;
            break;
        }
        if (patch.size() - at < 5) {
            return cutOff(at);
        }
        record.size = get16(patch, at + 3);
        std::size_t data = at + 5;
        if (record.size == 0) {
            if (patch.size() - data < 3) {
                return cutOff(at);
            }
            record.size = get16(patch, data);
            record.runValue = patch[data + 2];
            at = data + 3;
        } else {
            if (patch.size() - data < record.size) {
                return cutOff(at);
            }
            record.bytes = patch.subspan(data, record.size);
            at = data + record.size;
        }
        if (record.size > 0) {
            result.resultSize = std::max(result.resultSize, record.offset + record.size);
        }
        result.records.push_back(record);
    }
    if (patch.size() - at == 3) {
        result.resultSize = get24(patch, at);
    } else if (patch.size() != at) {
        return damaged(std::to_string(patch.size() - at) + " unexpected bytes follow \"EOF\"");
    }
    return result;
}

// The image the records make; bytes past the end of `image` that no record writes are zeros.
std::vector<std::uint8_t> patched(const Records& records, std::span<const std::uint8_t> image) {
    std::vector<std::uint8_t> target(records.resultSize, 0);
    std::copy_n(image.begin(), std::min(image.size(), target.size()), target.begin());
    for (const Record& record : records.records) {
        if (record.offset >= target.size()) {
            continue;
        }
        std::size_t size = std::min(record.size, target.size() - record.offset);
        auto into = target.begin() + static_cast<std::ptrdiff_t>(record.offset);
        if (record.bytes.empty()) {
            std::fill_n(into, size, record.runValue);
        } else {
            std::copy_n(record.bytes.begin(), size, into);
        }
    }
    return target;
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
    Result<Records> records = readRecords(patch, image.size());
    if (!records) {
        return records.status();
    }
    return patched(*records, image);
}

Result<PatchResult> applyIps(std::span<const std::uint8_t> patch,
                             std::span<const std::uint8_t> image, std::size_t headerSize) {
    // At file offsets the records work on the file: the header (its bytes unknown here, and
    // never written) in front of the image.
    std::vector<std::uint8_t> file;
    std::span<const std::uint8_t> base = image;
    if (headerSize > 0) {
        file.resize(headerSize);
        file.insert(file.end(), image.begin(), image.end());
        base = file;
    }
    Result<Records> records = readRecords(patch, base.size());
    if (!records) {
        return records.status();
    }
    if (records->resultSize != base.size()) {
        return sizeChangeRefusal(image.size(),
                                 std::max(records->resultSize, headerSize) - headerSize);
    }
    for (const Record& record : records->records) {
        if (record.size > 0 && record.offset < headerSize) {
            return Status::failure("The IPS patch writes into the copier header (at file offset " +
                                   std::to_string(record.offset) +
                                   "), which is not part of the image.");
        }
    }
    const std::vector<std::uint8_t> target = patched(*records, base);
    PatchResult result = changesBetween(image, std::span(target).subspan(headerSize));
    result.note =
        "An IPS patch carries no check: nothing tells whether it was made for this image.";
    return result;
}

}  // namespace slamwise
