// relocate: moves the visual table so that every player gets a visual record.

#include "game/Relocation.h"
#include "cli/Commands.h"

namespace slamwise::cli {

int relocate(Io io, const std::string& path, bool dryRun) {
    Result<OpenedImage> image = openImage(io, path, RomFile::Access::ReadWrite);
    if (!image) {
        return refuse(io, image.error());
    }
    Result<Edit> edit = relocationEdit(*image);
    if (!edit) {
        return refuse(io, edit.error());
    }
    return finishEdit(io, *image, *edit, dryRun);
}

}  // namespace slamwise::cli
