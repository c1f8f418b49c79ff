#include "patch/PatchFile.h"

#include <filesystem>

#include "storage/FileIo.h"

namespace slamwise {

namespace {

// Larger than any patch between two images of the game.
constexpr std::uint64_t kLargestPatch = 64u << 20;

Result<std::vector<std::uint8_t>> readPatch(const std::string& path) {
    Result<std::vector<std::uint8_t>> bytes = readWholeFile(path, kLargestPatch);
    if (!bytes) {
        return Status::failure("The patch " + quoted(path) + " cannot be read: " + bytes.error() +
                               ".");
    }
    return bytes;
}

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}

}  // namespace

Result<CreatedPatch> createPatchBetween(PatchFormat format, const RomFile& original,
                                        const RomFile& edited) {
    CreatedPatch created;
    for (const RomFile* rom : {&original, &edited}) {
        if (rom->hasCopierHeader()) {
            created.notes.push_back(quoted(rom->path()) +
                                    " starts with a copier header; the patch is made without it.");
        }
    }
    Result<std::vector<std::uint8_t>> before = readImage(original);
    if (!before) {
        return before.status();
    }
    Result<std::vector<std::uint8_t>> after = readImage(edited);
    if (!after) {
        return after.status();
    }
    Result<std::vector<std::uint8_t>> bytes = createPatch(format, *before, *after);
    if (!bytes) {
        return bytes.status();
    }
    created.bytes = std::move(bytes).value();
    return created;
}

Result<PatchResult> patchFileFor(const RomFile& image, const std::string& patchPath,
                                 IpsOffsets ipsOffsets) {
    Result<std::vector<std::uint8_t>> patch = readPatch(patchPath);
    if (!patch) {
        return patch.status();
    }
    Result<std::vector<std::uint8_t>> bytes = readImage(image);
    if (!bytes) {
        return bytes.status();
    }
    return applyPatch(*patch, *bytes, {ipsOffsets, image.headerSize()});
}

Status writePatchFile(const std::string& path, std::span<const std::uint8_t> bytes,
                      const std::vector<std::string>& images) {
    for (const std::string& image : images) {
        if (sameFile(path, image)) {
            return Status::failure("The patch would overwrite the image " + quoted(image) +
                                   ": choose another name for the patch.");
        }
    }
    if (Status status = writeFileAtomically(path, bytes); !status) {
        return Status::failure("The patch " + quoted(path) +
                               " could not be written: " + status.message() + ".");
    }
    return {};
}

}  // namespace slamwise
