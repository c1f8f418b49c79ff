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

int applyPatchFile(Io io, const std::string& imagePath, const std::string& patchPath, bool dryRun) {
    Result<OpenedImage> image = openImage(io, imagePath, RomFile::Access::ReadWrite);
    if (!image) {
        return refuse(io, image.error());
    }
    if (!image->verdict()) {
        return refuse(io, image->verdict().message());
    }
    Result<PatchResult> patch = patchFileFor(image->rom(), patchPath);
    if (!patch) {
        return refuse(io, patch.error());
    }
    if (!patch->note.empty()) {
        io.out << patch->note << "\n";
    }
    return finish(io, std::move(image).value(), writeEdit("Apply Patch", std::move(patch->edit)),
                  dryRun);
}

}  // namespace slamwise::cli
