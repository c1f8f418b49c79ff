// relocate: moves the visual table so that every player gets a visual record.

#include "cli/Commands.h"

namespace slamwise::cli {

int relocate(Io io, const std::string& path, bool dryRun) {
    Result<OpenedImage> image = openImage(io, path, RomFile::Access::ReadWrite);
    if (!image) {
        return refuse(io, image.error());
    }
    return finish(io, std::move(image).value(), relocateVisualTable(), dryRun);
}

}  // namespace slamwise::cli
