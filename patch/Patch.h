#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "storage/Edit.h"
#include "storage/Result.h"
#include "storage/RomFile.h"

namespace slamwise {

// Patches carry a modification from one image to another. Both formats work on images without a
// copier header: a patch is made between headerless images and applied to one.
enum class PatchFormat { Ips, Bps };

// The format a patch file's name asks for: ".ips" or ".bps", in any case.
Result<PatchFormat> patchFormatFor(std::string_view path);

// What a patch changes in an image, ready to be written as one action.
struct PatchResult {
    Edit edit;                     // the runs of changed bytes, all inside the image
    std::size_t changedBytes = 0;  // how many bytes the patch changes
    std::string note;              // what the user should be told (empty when nothing)
};

// The patch that turns `original` into `edited`.
Result<std::vector<std::uint8_t>> createPatch(PatchFormat format,
                                              std::span<const std::uint8_t> original,
                                              std::span<const std::uint8_t> edited);

// What `patch` changes in `image`, checked completely before anything is written. Refused: a
// malformed patch, a patch for another image (BPS), and a patch whose result would be longer or
// shorter than the image, since the size of an image file is never changed.
Result<PatchResult> applyPatch(PatchFormat format, std::span<const std::uint8_t> patch,
                               std::span<const std::uint8_t> image);

// The image `patch` makes from `image`, whatever its size.
Result<std::vector<std::uint8_t>> patchedImage(PatchFormat format,
                                               std::span<const std::uint8_t> patch,
                                               std::span<const std::uint8_t> image);

// The whole image of an open file, without its copier header.
Result<std::vector<std::uint8_t>> readImage(const RomFile& rom);

// Shared by the formats: the writes that turn `image` into `target`, an image of the same size;
// and the refusal of a result of another size.
PatchResult changesBetween(std::span<const std::uint8_t> image,
                           std::span<const std::uint8_t> target);
Status sizeChangeRefusal(std::uint64_t imageSize, std::uint64_t resultSize);

}  // namespace slamwise
