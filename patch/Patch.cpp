#include "patch/Patch.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <string>

#include "patch/Bps.h"
#include "patch/Ips.h"

namespace slamwise {
namespace {

// Changed bytes closer together than this go into one write, unchanged bytes between included.
constexpr std::size_t kJoinGap = 16;

bool endsWith(std::string_view text, std::string_view ending) {
    if (text.size() < ending.size()) {
        return false;
    }
    return std::equal(ending.begin(), ending.end(), text.end() - ending.size(), [](char a, char b) {
        return a == std::tolower(static_cast<unsigned char>(b));
    });
}

}  // namespace

Result<PatchFormat> patchFormatFor(std::string_view path) {
    if (endsWith(path, ".ips")) {
        return PatchFormat::Ips;
    }
    if (endsWith(path, ".bps")) {
        return PatchFormat::Bps;
    }
    return Status::failure("Cannot tell the format of the patch \"" + std::string(path) +
                           "\": its name must end in .ips or .bps.");
}

Result<std::vector<std::uint8_t>> createPatch(PatchFormat format,
                                              std::span<const std::uint8_t> original,
                                              std::span<const std::uint8_t> edited) {
    return format == PatchFormat::Ips ? createIps(original, edited) : createBps(original, edited);
}

Result<PatchResult> applyPatch(PatchFormat format, std::span<const std::uint8_t> patch,
                               std::span<const std::uint8_t> image) {
    return format == PatchFormat::Ips ? applyIps(patch, image) : applyBps(patch, image);
}

Result<std::vector<std::uint8_t>> patchedImage(PatchFormat format,
                                               std::span<const std::uint8_t> patch,
                                               std::span<const std::uint8_t> image) {
    return format == PatchFormat::Ips ? patchIps(patch, image) : patchBps(patch, image);
}

Result<std::vector<std::uint8_t>> readImage(const RomFile& rom) {
    if (rom.imageSize() > std::numeric_limits<std::uint32_t>::max()) {
        return Status::failure("The image is too large: it has " + std::to_string(rom.imageSize()) +
                               " bytes.");
    }
    std::vector<std::uint8_t> image(static_cast<std::size_t>(rom.imageSize()));
    if (Status status = rom.read(0, image); !status) {
        return status;
    }
    return image;
}

PatchResult changesBetween(std::span<const std::uint8_t> image,
                           std::span<const std::uint8_t> target) {
    PatchResult result;
    std::size_t size = std::min(image.size(), target.size());
    std::size_t i = 0;
    while (i < size) {
        if (image[i] == target[i]) {
            ++i;
            continue;
        }
        std::size_t start = i;
        std::size_t end = i + 1;  // one past the last changed byte so far
        for (std::size_t next = end; next < size && next < end + kJoinGap; ++next) {
            if (image[next] != target[next]) {
                end = next + 1;
            }
        }
        for (std::size_t k = start; k < end; ++k) {
            result.changedBytes += image[k] != target[k] ? 1 : 0;
        }
        result.edit.putBytes(static_cast<std::uint32_t>(start),
                             {target.begin() + static_cast<std::ptrdiff_t>(start),
                              target.begin() + static_cast<std::ptrdiff_t>(end)});
        i = end;
    }
    return result;
}

Status sizeChangeRefusal(std::uint64_t imageSize, std::uint64_t resultSize) {
    return Status::failure(
        "The patch would " + std::string(resultSize > imageSize ? "lengthen" : "shorten") +
        " the image from " + std::to_string(imageSize) + " to " + std::to_string(resultSize) +
        " bytes, and the size of an image file is never changed.");
}

}  // namespace slamwise
