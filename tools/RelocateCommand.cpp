// relocate: moves the visual table so that every player gets a visual record.

#include "player/Relocation.h"
#include "tools/Commands.h"

namespace slamwise::cli {

int relocate(Io io, const std::string& path, bool dryRun) {
    Result<OpenImage> image =
        openImage(path, dryRun ? RomFile::Access::ReadOnly : RomFile::Access::ReadWrite);
    if (!image) {
        return refuse(io, image.error());
    }
    if (Status status = requirePlayerData(*image); !status) {
        return refuse(io, status.message());
    }
    Result<RelocationState> state = detectRelocation(image->rom);
    if (!state) {
        return refuse(io, state.error());
    }
    if (*state == RelocationState::Relocated) {
        return refuse(io, path + ": the visual data is already relocated.");
    }
    Result<Edit> edit = relocationEdit(image->rom);
    if (!edit) {
        return refuse(io, edit.error());
    }
    return finishEdit(io, image->rom, *edit, dryRun);
}

}  // namespace slamwise::cli
