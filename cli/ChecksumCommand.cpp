// checksum: the internal checksum of an image, and its fix.

#include <cstdio>

#include "cli/Commands.h"
#include "game/Checksum.h"

namespace slamwise::cli {

std::string checksumText(const ChecksumState& state) {
    char text[96];
    std::snprintf(text, sizeof text, "stored 0x%04X (complement 0x%04X), computed 0x%04X: %s",
                  state.stored, state.complement, state.computed,
                  state.valid() ? "valid" : "stale");
    return text;
}

int checksum(Io io, const std::string& path, bool fix, bool dryRun) {
    Result<OpenedImage> image =
        openImage(io, path, fix ? RomFile::Access::ReadWrite : RomFile::Access::ReadOnly);
    if (!image) {
        return fix ? refuse(io, image.error()) : fail(io, image.error());
    }
    Result<ChecksumState> state = checksumOf(image->rom());
    if (!state) {
        return fix ? refuse(io, state.error()) : fail(io, state.error());
    }
    io.out << "Checksum:      " << checksumText(*state) << "\n";
    if (!fix) {
        return kExitSuccess;
    }
    return finish(io, std::move(image).value(), fixChecksum(), dryRun);
}

}  // namespace slamwise::cli
