#include "game/Checksum.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace slamwise {
namespace {

constexpr std::size_t kBlockSize = 256 * 1024;

// Adds up an image block by block, each byte into the power-of-two part of the image it lies in:
// the parts follow the bits of the size, from the highest (3 MiB: 2 MiB, then 1 MiB).
class MirroredSum {
  public:
    explicit MirroredSum(std::uint64_t size) {
        std::uint64_t start = 0;
        for (int bit = 63; bit >= 0; --bit) {
            if ((size >> bit) & 1) {
                parts_.push_back({start, start + (std::uint64_t{1} << bit), bit, 0});
                start += std::uint64_t{1} << bit;
            }
        }
    }

    // Blocks come in order; offset is that of the block's first byte.
    void add(std::uint64_t offset, std::span<const std::uint8_t> block) {
        for (Part& part : parts_) {
            std::uint64_t from = std::max(part.start, offset);
            std::uint64_t to = std::min(part.end, offset + block.size());
            for (std::uint64_t i = from; i < to; ++i) {
                part.sum += block[i - offset];
            }
        }
    }

    std::uint16_t result() const {
        if (parts_.empty()) {
            return 0;
        }
        int whole = parts_.size() == 1 ? parts_[0].bit : parts_[0].bit + 1;
        return static_cast<std::uint16_t>(filled(0, whole));
    }

  private:
    struct Part {
        std::uint64_t start;
        std::uint64_t end;
        int bit;  // the part holds 2^bit bytes
        std::uint64_t sum;
    };

    // The sum of parts[i] and those after it, repeated to fill 2^bit bytes: the last part is
    // repeated alone; any other is followed by the rest filled up to its own size, and the two
    // together are repeated. Only the low 16 bits matter, so wrapping around is harmless.
    std::uint64_t filled(std::size_t i, int bit) const {
        const Part& part = parts_[i];
        if (i + 1 == parts_.size()) {
            return part.sum << (bit - part.bit);
        }
        return (part.sum + filled(i + 1, part.bit)) << (bit - part.bit - 1);
    }

    std::vector<Part> parts_;
};

// Lays the writes of `edit` over the block that starts at `offset`.
void overlay(const Edit& edit, std::uint64_t offset, std::span<std::uint8_t> block) {
    for (const Edit::Write& write : edit.writes()) {
        std::uint64_t from = std::max<std::uint64_t>(write.offset, offset);
        std::uint64_t to =
            std::min<std::uint64_t>(write.offset + write.bytes.size(), offset + block.size());
        for (std::uint64_t i = from; i < to; ++i) {
            block[i - offset] = write.bytes[i - write.offset];
        }
    }
}

using BlockReader = std::function<Status(std::uint64_t offset, std::span<std::uint8_t> block)>;

Result<ChecksumState> sumImage(std::uint64_t size, const Edit& pending, const BlockReader& read) {
    if (size < kChecksumEnd) {
        return Status::failure("The image is too small to hold a checksum: it has " +
                               std::to_string(size) + " bytes, and the checksum lies at " +
                               hexOffset(kChecksumComplementOffset) + " to " +
                               hexOffset(kChecksumEnd - 1) + ".");
    }
    ChecksumState state;
    MirroredSum sum(size);
    std::vector<std::uint8_t> buffer(std::min<std::uint64_t>(size, kBlockSize));
    for (std::uint64_t offset = 0; offset < size; offset += buffer.size()) {
        std::span<std::uint8_t> block(
            buffer.data(),
            static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), size - offset)));
        if (Status status = read(offset, block); !status) {
            return status;
        }
        overlay(pending, offset, block);
        // The four checksum bytes: read as stored, then counted as the matching pair
        // complement 0xFFFF, checksum 0x0000.
        for (std::uint32_t at = kChecksumComplementOffset; at < kChecksumEnd; ++at) {
            if (at >= offset && at < offset + block.size()) {
                std::uint8_t& byte = block[at - offset];
                int shift = (at & 1) * 8;
                if (at < kChecksumOffset) {
                    state.complement |= static_cast<std::uint16_t>(byte << shift);
                    byte = 0xFF;
                } else {
                    state.stored |= static_cast<std::uint16_t>(byte << shift);
                    byte = 0x00;
                }
            }
        }
        sum.add(offset, block);
    }
    state.computed = sum.result();
    return state;
}

}  // namespace

Result<ChecksumState> checksumOf(std::span<const std::uint8_t> image, const Edit& pending) {
    return sumImage(image.size(), pending,
                    [image](std::uint64_t offset, std::span<std::uint8_t> block) {
                        std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(offset),
                                    block.size(), block.begin());
                        return Status();
                    });
}

Result<ChecksumState> checksumOf(const RomFile& rom, const Edit& pending) {
    if (rom.imageSize() > std::numeric_limits<std::uint32_t>::max()) {
        return Status::failure("The image is too large for a checksum: it has " +
                               std::to_string(rom.imageSize()) + " bytes.");
    }
    return sumImage(rom.imageSize(), pending,
                    [&rom](std::uint64_t offset, std::span<std::uint8_t> block) {
                        return rom.read(static_cast<std::uint32_t>(offset), block);
                    });
}

void addChecksumWrite(Edit& edit, std::uint16_t checksum) {
    std::uint16_t complement = static_cast<std::uint16_t>(~checksum);
    edit.putBytes(
        kChecksumComplementOffset,
        {static_cast<std::uint8_t>(complement & 0xFF), static_cast<std::uint8_t>(complement >> 8),
         static_cast<std::uint8_t>(checksum & 0xFF), static_cast<std::uint8_t>(checksum >> 8)});
}

Status addChecksumFix(const RomFile& rom, Edit& edit) {
    Result<ChecksumState> state = checksumOf(rom, edit);
    if (!state) {
        return state.status();
    }
    addChecksumWrite(edit, state->computed);
    return {};
}

}  // namespace slamwise
