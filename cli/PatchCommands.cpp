// patch create, patch apply: IPS and BPS patches between images.

#include <cstdio>

#include "cli/Commands.h"
#include "patch/ChangedRanges.h"
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

namespace {

// "$1FB8D3-$1FB8E0: 14 bytes", and with `verbose` each byte's old and new value below.
void listRanges(Io io, const std::vector<ChangedRange>& ranges, bool verbose) {
    for (const ChangedRange& range : ranges) {
        const std::size_t size = range.after.size();
        io.out << hexOffset(range.offset) << "-" << hexOffset(range.last()) << ": " << size
               << (size == 1 ? " byte\n" : " bytes\n");
        for (std::size_t i = 0; verbose && i < size; ++i) {
            char line[48];
            std::snprintf(line, sizeof line, "  %s: %02X -> %02X\n",
                          hexOffset(range.offset + static_cast<std::uint32_t>(i)).c_str(),
                          range.before[i], range.after[i]);
            io.out << line;
        }
    }
}

}  // namespace

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
    // The real run checks the same again before it writes.
    if (Status status = rom.check(patch->edit); !status) {
        return refuse(io, status.message());
    }
    if (options.dryRun) {
        Result<std::vector<std::uint8_t>> bytes = readImage(rom);
        if (!bytes) {
            return refuse(io, bytes.error());
        }
        const std::vector<ChangedRange> ranges = changedRanges(*bytes, patch->edit);
        io.out << "Dry run: " << patch->changedBytes << " byte(s) in " << ranges.size()
               << " range(s) would change in " << rom.path() << "; nothing was written.\n";
        listRanges(io, ranges, options.verbose);
        return kExitSuccess;
    }
    if (Status status = rom.apply(patch->edit); !status) {
        return refuse(io, status.message());
    }
    io.out << "Changed " << patch->changedBytes << " byte(s) in " << rom.path() << ".\n";
    return kExitSuccess;
}

}  // namespace slamwise::cli
