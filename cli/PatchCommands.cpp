// patch create, patch apply: IPS and BPS patches between images.

#include "cli/Commands.h"
#include "patch/PatchFile.h"

namespace slamwise::cli {

int createPatchFile(Io io, const std::string& originalPath, const std::string& editedPath,
                    const std::string& patchPath) {
    Result<PatchFormat> format = patchFormatFor(patchPath);
    if (!format) {
        return refuse(io, format.error());
    }
    Result<OpenedImage> original = openImage(io, originalPath, RomFile::Access::ReadOnly);
    if (!original) {
        return refuse(io, original.error());
    }
    Result<OpenedImage> edited = openImage(io, editedPath, RomFile::Access::ReadOnly);
    if (!edited) {
        return refuse(io, edited.error());
    }
    Result<CreatedPatch> patch = createPatchBetween(*format, original->rom(), edited->rom());
    if (!patch) {
        return refuse(io, patch.error());
    }
    if (Status status = writePatchFile(patchPath, patch->bytes, {originalPath, editedPath});
        !status) {
        return refuse(io, status.message());
    }
    for (const std::string& note : patch->notes) {
        io.out << note << "\n";
    }
    io.out << "Wrote the " << (*format == PatchFormat::Ips ? "IPS" : "BPS") << " patch "
           << patchPath << " (" << patch->bytes.size() << " bytes).\n";
    return kExitSuccess;
}

int applyPatchFile(Io io, const PatchApplyOptions& options) {
    Result<OpenedImage> image = openImage(io, options.image, RomFile::Access::ReadWrite);
    if (!image) {
        return refuse(io, image.error());
    }
    if (!image->verdict()) {
        return refuse(io, image->verdict().message());
    }
    RomFile& rom = image->rom();
    const bool fileOffsets = options.ipsOffsets == "file";
    Result<PatchResult> patch =
        patchFileFor(rom, options.patch, fileOffsets ? IpsOffsets::File : IpsOffsets::Image);
    if (!patch) {
        return refuse(io, patch.error());
    }
    if (!patch->warning.empty()) {
        io.err << patch->warning << " For such a patch, give --ips-offsets file.\n";
    }
    if (!patch->note.empty()) {
        io.out << patch->note << "\n";
    }
    const Listing listing = options.verbose ? Listing::RangesWithBytes : Listing::Ranges;
    return finish(io, std::move(image).value(), writeEdit("Apply Patch", std::move(patch->edit)),
                  options.dryRun, listing);
}

}  // namespace slamwise::cli
