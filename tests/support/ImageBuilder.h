#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "game/Identify.h"

namespace slamwise::test {

// A made-up image of the game: seeded random bytes with the header fields of one release.
// Never a real game image. Random filler makes off-by-one reads and stray writes show up.
struct ImageOptions {
    Release release = Release::NorthAmerica;
    std::size_t size = 2 * 1024 * 1024;  // the game image, without a copier header
    bool copierHeader = false;           // 512 extra bytes in front
    std::uint32_t seed = 1;
    std::string title = "SLAMWISE TEST IMAGE  ";  // exactly 21 characters
};

class Image {
  public:
    explicit Image(const ImageOptions& options = {});

    // Access by image offset (after a copier header).
    std::uint8_t& at(std::uint32_t offset) { return bytes_.at(headerSize_ + offset); }
    std::uint8_t at(std::uint32_t offset) const { return bytes_.at(headerSize_ + offset); }
    void put16(std::uint32_t offset, std::uint16_t value);

    std::size_t headerSize() const { return headerSize_; }
    // The whole file, copier header included.
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

    // Writes the file and returns its path.
    std::string writeTo(const std::filesystem::path& path) const;

  private:
    std::vector<std::uint8_t> bytes_;
    std::size_t headerSize_ = 0;
};

// The image with the given bytes put at image offsets.
Image with(Image image, const std::vector<std::pair<std::uint32_t, std::uint8_t>>& bytes);

// The eight pointer sites of the visual table that the relocation patches with 00 F0 04 ($04F000).
inline constexpr std::uint32_t kRelocationSites[] = {0x51B1A, 0x51B37, 0x51B91, 0x51BAE,
                                                     0x51C19, 0x51C36, 0x51C90, 0x51CAD};

// The image relocated by hand: the standard visual table (0x930C9-0x938C8) copied to 0x27000,
// 320 words 0A 00 of filler at 0x27800, the pointer sites patched.
Image relocated(Image image);

// A folder that is removed with everything in it when the test ends.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

std::vector<std::uint8_t> readFile(const std::string& path);
void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

// Image offsets at which two files differ (both taken after headerSize bytes).
std::vector<std::uint32_t> changedOffsets(const std::vector<std::uint8_t>& before,
                                          const std::vector<std::uint8_t>& after,
                                          std::size_t headerSize = 0);
// Offsets at which after differs from before with the expected bytes put in: none when exactly
// those bytes were written.
std::vector<std::uint32_t> strayOffsets(std::vector<std::uint8_t> before,
                                        const std::vector<std::uint8_t>& after,
                                        const std::map<std::uint32_t, int>& expected);

}  // namespace slamwise::test
