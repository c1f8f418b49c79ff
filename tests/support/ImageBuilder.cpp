#include "tests/support/ImageBuilder.h"

#include <fstream>
#include <random>
#include <stdexcept>

#include "storage/RomFile.h"

namespace slamwise::test {

Image::Image(const ImageOptions& options) {
    headerSize_ = options.copierHeader ? RomFile::kCopierHeaderSize : 0;
    bytes_.resize(headerSize_ + options.size);
    std::mt19937 random(options.seed);
    for (std::uint8_t& byte : bytes_) {
        byte = static_cast<std::uint8_t>(random());
    }
    std::fill(bytes_.begin(), bytes_.begin() + static_cast<long>(headerSize_), 0);
    if (options.size == 0) {
        return;
    }
    if (at(0) == 0) {
        at(0) = 0x78;  // the editor refuses images whose first byte is zero
    }
    if (options.size <= kEditionCodeOffset) {
        return;  // too short for an internal header: random bytes only
    }
    for (std::size_t i = 0; i < kTitleLength; ++i) {
        at(kTitleOffset + static_cast<std::uint32_t>(i)) =
            i < options.title.size() ? static_cast<std::uint8_t>(options.title[i]) : ' ';
    }
    // The release letter and the edition code of each release, in the order of Release.
    const char codes[][2] = {{0x00, 0}, {'P', 0}, {'J', 0}, {'E', '1'}, {'E', 'g'}};
    const auto [letter, edition] = codes[static_cast<int>(options.release)];
    at(kReleaseLetterOffset) = static_cast<std::uint8_t>(letter);
    if (edition != 0) {
        at(kEditionCodeOffset) = static_cast<std::uint8_t>(edition);
    }
    // The relocation markers of an image that has never been relocated.
    if (options.size > 0x27801) {
        at(0x27001) = 0x00;
        at(0x27801) = 0xFF;
    }
}

void Image::put16(std::uint32_t offset, std::uint16_t value) {
    at(offset) = static_cast<std::uint8_t>(value & 0xFF);
    at(offset + 1) = static_cast<std::uint8_t>(value >> 8);
}

std::string Image::writeTo(const std::filesystem::path& path) const {
    writeFile(path.string(), bytes_);
    return path.string();
}

Image with(Image image, const std::vector<std::pair<std::uint32_t, std::uint8_t>>& bytes) {
    for (auto [offset, value] : bytes) {
        image.at(offset) = value;
    }
    return image;
}

Image relocated(Image image) {
    for (std::uint32_t i = 0; i < 0x800; ++i) {
        image.at(0x27000 + i) = image.at(0x930C9 + i);
    }
    for (std::uint32_t i = 0; i < 0x280; i += 2) {
        image.put16(0x27800 + i, 0x000A);
    }
    for (std::uint32_t site : kRelocationSites) {
        image.at(site) = 0x00, image.at(site + 1) = 0xF0, image.at(site + 2) = 0x04;
    }
    return image;
}

TempDir::TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "slamwise-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    // Folders made read-only by a test must be writable again before they can be removed.
    for (auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored)) {
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
    }
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::vector<std::uint8_t> readFile(const std::string& path) {
    // One bulk read: the tests read whole 2 MiB images many times.
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(in.tellg()));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    return bytes;
}

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::vector<std::uint32_t> changedOffsets(const std::vector<std::uint8_t>& before,
                                          const std::vector<std::uint8_t>& after,
                                          std::size_t headerSize) {
    std::vector<std::uint32_t> changed;
    std::size_t common = std::min(before.size(), after.size());
    for (std::size_t i = headerSize; i < common; ++i) {
        if (before[i] != after[i]) {
            changed.push_back(static_cast<std::uint32_t>(i - headerSize));
        }
    }
    for (std::size_t i = std::max(common, headerSize); i < std::max(before.size(), after.size());
         ++i) {
        changed.push_back(static_cast<std::uint32_t>(i - headerSize));
    }
    return changed;
}

std::vector<std::uint32_t> strayOffsets(std::vector<std::uint8_t> before,
                                        const std::vector<std::uint8_t>& after,
                                        const std::map<std::uint32_t, int>& expected) {
    for (auto [offset, value] : expected) {
        before.at(offset) = static_cast<std::uint8_t>(value);
    }
    return changedOffsets(before, after);
}

}  // namespace slamwise::test
