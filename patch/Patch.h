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

// The format a patch file's name asks for: ".ips" or ".bps", in any case. It chooses the format
// of a patch being made; a patch being applied is known by its first bytes.
Result<PatchFormat> patchFormatFor(std::string_view path);
// The format a patch's first bytes give: "PATCH" IPS, "BPS1" BPS.
Result<PatchFormat> patchFormatOf(std::span<const std::uint8_t> patch);

// Where the records of an IPS patch land on an image whose file starts with a copier header: at
// image offsets (as if the patch was made between headerless images), or at file offsets, the
// header counted (as a patch made between images with headers expects).
enum class IpsOffsets { Image, File };

struct ApplyOptions {
    IpsOffsets ipsOffsets = IpsOffsets::Image;
    std::uint32_t copierHeader = 0;  // the size of the copier header in front of the image
};

// What a patch changes in an image, ready to be written as one action.
struct PatchResult {
    Edit edit;                     // the runs of changed bytes, all inside the image
    std::size_t changedBytes = 0;  // how many bytes the patch changes
    std::string note;              // what the user should be told (empty when nothing)
    std::string warning;           // what the user should be warned of (empty when nothing)
};

// The patch that turns `original` into `edited`. Refused: images of different sizes (the size of
// an image file is never changed), and identical images (a patch would carry nothing).
Result<std::vector<std::uint8_t>> createPatch(PatchFormat format,
                                              std::span<const std::uint8_t> original,
                                              std::span<const std::uint8_t> edited);

// What `patch` changes in `image`, checked completely before anything is written. Refused: a
// malformed patch, a patch for another image (BPS), and a patch whose result would be longer or
// shorter than the image, since the size of an image file is never changed.
Result<PatchResult> applyPatch(PatchFormat format, std::span<const std::uint8_t> patch,
                               std::span<const std::uint8_t> image);
// The same, the format known by the patch's first bytes. A BPS patch whose result is the image
// itself is refused as already applied. An IPS patch applied at image offsets to an image with a
// copier header warns that a patch made from an image with a header would land off.
Result<PatchResult> applyPatch(std::span<const std::uint8_t> patch,
                               std::span<const std::uint8_t> image, const ApplyOptions& options);

// The image `patch` makes from `image`, whatever its size.
Result<std::vector<std::uint8_t>> patchedImage(PatchFormat format,
                                               std::span<const std::uint8_t> patch,
                                               std::span<const std::uint8_t> image);

// The whole image of an open file, without its copier header.
Result<std::vector<std::uint8_t>> readImage(const RomFile& rom);

// Shared by the formats: the writes that turn `image` into `target`, an image of the same size,
// one for each run of changed bytes (runs a few bytes apart joined, the bytes between written as
// they are); and the refusal of a result of another size.
PatchResult changesBetween(std::span<const std::uint8_t> image,
                           std::span<const std::uint8_t> target);
Status sizeChangeRefusal(std::uint64_t imageSize, std::uint64_t resultSize);

}  // namespace slamwise
