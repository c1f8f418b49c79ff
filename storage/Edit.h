#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

namespace slamwise {

// The writes of one user action, in the order they are to reach the file. Building an Edit
// touches nothing; RomFile::apply writes it as one action (all of it is checked first, and one
// sync follows the last write).
//
// A change of the whole league is thousands of one- and two-byte writes, so their bytes live
// side by side in one buffer rather than each in its own allocation.
class Edit {
  public:
    struct Write {
        std::uint32_t offset;  // image offset (a copier header is added by RomFile)
        std::span<const std::uint8_t> bytes;
    };

    // The writes in edit order, each read as a Write. Valid while the edit is not changed.
    class Writes {
      public:
        class Iterator {
          public:
            Write operator*() const { return edit_->writeAt(at_); }
            Iterator& operator++() {
                ++at_;
                return *this;
            }
            bool operator==(const Iterator&) const = default;

          private:
            friend class Writes;
            Iterator(const Edit* edit, std::size_t at) : edit_(edit), at_(at) {}
            const Edit* edit_;
            std::size_t at_;
        };

        std::size_t size() const { return edit_->entries_.size(); }
        bool empty() const { return size() == 0; }
        Write operator[](std::size_t k) const { return edit_->writeAt(k); }
        Iterator begin() const { return {edit_, 0}; }
        Iterator end() const { return {edit_, size()}; }

      private:
        friend class Edit;
        explicit Writes(const Edit* edit) : edit_(edit) {}
        const Edit* edit_;
    };

    void put8(std::uint32_t offset, std::uint8_t value) { putBytes(offset, {value}); }

    // 16-bit values are little-endian, as everywhere in the image.
    void put16(std::uint32_t offset, std::uint16_t value) {
        putBytes(offset,
                 {static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>(value >> 8)});
    }

    // The bytes are copied; they must not be those of a write of this edit.
    void putBytes(std::uint32_t offset, std::span<const std::uint8_t> bytes) {
        entries_.push_back({offset, bytes_.size(), bytes.size()});
        for (std::uint8_t byte : bytes) {  // mostly one or two bytes: cheaper than a copy call
            bytes_.push_back(byte);
        }
    }
    void putBytes(std::uint32_t offset, std::initializer_list<std::uint8_t> bytes) {
        putBytes(offset, std::span(bytes.begin(), bytes.size()));
    }

    Writes writes() const { return Writes(this); }
    bool empty() const { return entries_.empty(); }

  private:
    struct Entry {
        std::uint32_t offset;
        std::size_t start;  // of its bytes in bytes_
        std::size_t size;
    };
    Write writeAt(std::size_t k) const {
        const Entry& entry = entries_[k];
        return {entry.offset, std::span(bytes_).subspan(entry.start, entry.size)};
    }

    std::vector<Entry> entries_;
    std::vector<std::uint8_t> bytes_;
};

}  // namespace slamwise
