#include "patch/Bps.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "patch/BpsFormat.h"

namespace slamwise {
namespace {

using namespace bps;
// The largest image patchBps makes: far more than any image of the game.
constexpr std::uint64_t kMaxTargetSize = 256 * 1024 * 1024;

std::string hex32(std::uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(value));
    return text;
}

std::uint32_t get32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

Status damaged(const std::string& why) {
    return Status::failure("The BPS patch is damaged: " + why + ".");
}

// Reads numbers and bytes from the part of the patch between the magic and the checksums.
class Reader {
  public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool atEnd() const { return at_ == bytes_.size(); }

    Status number(std::uint64_t& value) {
        value = 0;
        std::uint64_t weight = 1;
        // Nine bytes hold 63 bits, more than any size or offset needs.
        for (int i = 0; i < 9; ++i) {
            if (atEnd()) {
                return damaged("it ends in the middle of a number");
            }
            std::uint8_t byte = bytes_[at_++];
            value += (byte & 0x7F) * weight;
            if (byte & 0x80) {
                return {};
            }
            weight <<= 7;
            value += weight;
        }
        return damaged("a number in it is too large");
    }

    Status take(std::uint64_t size, std::span<const std::uint8_t>& out) {
        if (size > bytes_.size() - at_) {
            return damaged("it ends in the middle of its data");
        }
        out = bytes_.subspan(at_, static_cast<std::size_t>(size));
        at_ += static_cast<std::size_t>(size);
        return {};
    }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

// Moves a copy position by a relative offset (low bit: backwards), keeping it in [0, limit].
bool move(std::uint64_t& position, std::uint64_t relative, std::uint64_t limit) {
    std::uint64_t distance = relative >> 1;
    if (relative & 1) {
        if (distance > position) {
            return false;
        }
        position -= distance;
    } else {
        if (distance > limit - position) {
            return false;
        }
        position += distance;
    }
    return true;
}

// A patch whose own CRC32 is right and that was made from `image`.
struct Header {
    std::uint64_t targetSize = 0;
    std::uint32_t targetCrc = 0;
    Reader actions{{}};
};

Result<Header> readHeader(std::span<const std::uint8_t> patch,
                          std::span<const std::uint8_t> image) {
    if (patch.empty()) {
        return Status::failure("The patch is empty.");
    }
    if (patch.size() < std::size(kMagic) ||
        !std::equal(std::begin(kMagic), std::end(kMagic), patch.begin())) {
        return Status::failure("This is not a BPS patch: it does not start with \"BPS1\".");
    }
    // The magic, three one-byte numbers at least, and the checksums.
    if (patch.size() < std::size(kMagic) + 3 + kChecksumsSize) {
        return damaged("it is too short to hold its sizes and checksums");
    }
    std::size_t checksums = patch.size() - kChecksumsSize;
    std::uint32_t patchCrc = get32(patch, checksums + 8);
    std::uint32_t actualPatchCrc = crc32Of(patch.first(patch.size() - 4));
    if (patchCrc != actualPatchCrc) {
        return Status::failure("The BPS patch is damaged or cut off: its bytes give the CRC32 " +
                               hex32(actualPatchCrc) + " where it records " + hex32(patchCrc) +
                               ".");
    }
    Header header;
    header.targetCrc = get32(patch, checksums + 4);
    Reader reader(patch.subspan(std::size(kMagic), checksums - std::size(kMagic)));
    std::uint64_t sourceSize = 0;
    std::uint64_t metadataSize = 0;
    std::span<const std::uint8_t> metadata;
    Status status = reader.number(sourceSize);
    if (status) {
        status = reader.number(header.targetSize);
    }
    if (status) {
        status = reader.number(metadataSize);
    }
    if (status) {
        status = reader.take(metadataSize, metadata);  // not used
    }
    if (!status) {
        return status;
    }
    std::uint32_t sourceCrc = get32(patch, checksums);
    std::uint32_t imageCrc = crc32Of(image);
    bool fromImage = sourceSize == image.size() && sourceCrc == imageCrc;
    if (!fromImage && header.targetSize == image.size() && header.targetCrc == imageCrc) {
        return Status::failure(
            "Cannot apply the patch: this patch is already applied to this image.");
    }
    if (!fromImage) {
        return Status::failure(
            "Cannot apply the patch: this patch is for another image (it was "
            "made from an image of " +
            std::to_string(sourceSize) + " bytes with the CRC32 " + hex32(sourceCrc) +
            "; this image has " + std::to_string(image.size()) + " bytes and the CRC32 " +
            hex32(imageCrc) + ").");
    }
    header.actions = reader;
    return header;
}

// Where the actions stand while the image is made.
struct Making {
    std::vector<std::uint8_t> target;
    std::uint64_t out = 0;       // the next byte to make
    std::uint64_t sourceAt = 0;  // where SourceCopy reads
    std::uint64_t targetAt = 0;  // where TargetCopy reads
};

// Makes `length` bytes by the action `kind`.
Status act(unsigned kind, std::uint64_t length, Reader& reader,
           std::span<const std::uint8_t> source, Making& making) {
    std::vector<std::uint8_t>& target = making.target;
    auto into = target.begin() + static_cast<std::ptrdiff_t>(making.out);
    std::uint64_t relative = 0;
    switch (kind) {
        case SourceRead:
            if (length > source.size() || making.out > source.size() - length) {
                return damaged("an action reads past the end of the original image");
            }
            std::copy_n(source.begin() + static_cast<std::ptrdiff_t>(making.out), length, into);
            return {};
        case TargetRead: {
            std::span<const std::uint8_t> bytes;
            if (Status status = reader.take(length, bytes); !status) {
                return status;
            }
            std::copy(bytes.begin(), bytes.end(), into);
            return {};
        }
        case SourceCopy:
            if (Status status = reader.number(relative); !status) {
                return status;
            }
            if (!move(making.sourceAt, relative, source.size()) ||
                length > source.size() - making.sourceAt) {
                return damaged("an action copies from outside the original image");
            }
            std::copy_n(source.begin() + static_cast<std::ptrdiff_t>(making.sourceAt), length,
                        into);
            making.sourceAt += length;
            return {};
        default:  // TargetCopy
            if (Status status = reader.number(relative); !status) {
                return status;
            }
            // Byte by byte from what is already made: the copy may overlap itself.
            if (!move(making.targetAt, relative, making.out) || making.targetAt >= making.out) {
                return damaged("an action copies from a part of the image not yet made");
            }
            for (std::uint64_t i = 0; i < length; ++i) {
                target[making.out + i] = target[making.targetAt + i];
            }
            making.targetAt += length;
            return {};
    }
}

Result<std::vector<std::uint8_t>> decode(Header header, std::span<const std::uint8_t> source) {
    Making making;
    making.target.resize(static_cast<std::size_t>(header.targetSize));
    Reader& reader = header.actions;
    while (!reader.atEnd()) {
        std::uint64_t command = 0;
        if (Status status = reader.number(command); !status) {
            return status;
        }
        const std::uint64_t length = (command >> 2) + 1;
        if (length > making.target.size() - making.out) {
            return damaged("an action writes past the end of the image it makes");
        }
        if (Status status = act(static_cast<unsigned>(command & 3), length, reader, source, making);
            !status) {
            return status;
        }
        making.out += length;
    }
    std::vector<std::uint8_t>& target = making.target;
    const std::uint64_t out = making.out;
    if (out != target.size()) {
        return damaged("its actions make " + std::to_string(out) + " of the " +
                       std::to_string(target.size()) + " bytes it promises");
    }
    if (std::uint32_t crc = crc32Of(target); crc != header.targetCrc) {
        return damaged("the image it makes has the CRC32 " + hex32(crc) + " where it expects " +
                       hex32(header.targetCrc));
    }
    return target;
}

}  // namespace

Result<std::vector<std::uint8_t>> patchBps(std::span<const std::uint8_t> patch,
                                           std::span<const std::uint8_t> image) {
    Result<Header> header = readHeader(patch, image);
    if (!header) {
        return header.status();
    }
    if (header->targetSize > kMaxTargetSize) {
        return damaged("it promises an image of " + std::to_string(header->targetSize) +
                       " bytes, more than any image can have");
    }
    return decode(std::move(*header), image);
}

Result<PatchResult> applyBps(std::span<const std::uint8_t> patch,
                             std::span<const std::uint8_t> image) {
    Result<Header> header = readHeader(patch, image);
    if (!header) {
        return header.status();
    }
    if (header->targetSize != image.size()) {
        return sizeChangeRefusal(image.size(), header->targetSize);
    }
    Result<std::vector<std::uint8_t>> target = decode(std::move(*header), image);
    if (!target) {
        return target.status();
    }
    return changesBetween(image, *target);
}

}  // namespace slamwise
