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

Result<PatchFormat> patchFormatOf(std::span<const std::uint8_t> patch) {
    auto startsWith = [patch](std::string_view magic) {
        return patch.size() >= magic.size() &&
               std::equal(magic.begin(), magic.end(), patch.begin());
    };
    if (patch.empty()) {
        return Status::failure("The patch is empty.");
    }
    if (startsWith("PATCH")) {
        return PatchFormat::Ips;
    }
    if (startsWith("BPS1")) {
        return PatchFormat::Bps;
    }
    return Status::failure(
        "This is not a patch the editor knows: it starts neither with \"PATCH\" (IPS) nor with "
        "\"BPS1\" (BPS).");
}

Result<std::vector<std::uint8_t>> createPatch(PatchFormat format,
                                              std::span<const std::uint8_t> original,
                                              std::span<const std::uint8_t> edited) {
    if (original.size() != edited.size()) {
        return Status::failure(
            "Cannot make a patch between images of different sizes: the "
            "original has " +
            std::to_string(original.size()) + " bytes, the edited image " +
            std::to_string(edited.size()) + " bytes. A patch never changes the size of an image.");
    }
    if (std::equal(original.begin(), original.end(), edited.begin())) {
        return Status::failure("the images are identical: there is nothing to put in a patch");
    }
    return format == PatchFormat::Ips ? createIps(original, edited) : createBps(original, edited);
}

Result<PatchResult> applyPatch(PatchFormat format, std::span<const std::uint8_t> patch,
                               std::span<const std::uint8_t> image) {
    return format == PatchFormat::Ips ? applyIps(patch, image) : applyBps(patch, image);
}

Result<PatchResult> applyPatch(std::span<const std::uint8_t> patch,
                               std::span<const std::uint8_t> image, const ApplyOptions& options) {
    Result<PatchFormat> format = patchFormatOf(patch);
    if (!format) {
        return format.status();
    }
    if (*format == PatchFormat::Bps) {
        return applyBps(patch, image);
    }
    const bool fileOffsets = options.ipsOffsets == IpsOffsets::File;
    Result<PatchResult> result = applyIps(patch, image, fileOffsets ? options.copierHeader : 0);
    if (result && options.copierHeader != 0 && !fileOffsets) {
        result->warning = "The image starts with a " + std::to_string(options.copierHeader) +
                          "-byte copier header and the IPS patch is applied at image offsets, "
                          "after the header: a patch made from an image with a header would "
                          "land " +
                          std::to_string(options.copierHeader) + " bytes off.";
    }
    return result;
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
