#pragma once

#include <cstdint>
#include <vector>

namespace slamwise {

// The writes of one user action, in the order they are to reach the file. Building an Edit
// touches nothing; RomFile::apply writes it as one action (all of it is checked first, and one
// sync follows the last write).
class Edit {
  public:
    struct Write {
        std::uint32_t offset;  // image offset (a copier header is added by RomFile)
        std::vector<std::uint8_t> bytes;
    };

    void put8(std::uint32_t offset, std::uint8_t value) { writes_.push_back({offset, {value}}); }

    // 16-bit values are little-endian, as everywhere in the image.
    void put16(std::uint32_t offset, std::uint16_t value) {
        writes_.push_back(
            {offset,
             {static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>(value >> 8)}});
    }

    void putBytes(std::uint32_t offset, std::vector<std::uint8_t> bytes) {
        writes_.push_back({offset, std::move(bytes)});
    }

    const std::vector<Write>& writes() const { return writes_; }
    bool empty() const { return writes_.empty(); }

  private:
    std::vector<Write> writes_;
};

}  // namespace slamwise
