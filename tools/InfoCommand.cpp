// info: what the image is.

#include <nlohmann/json.hpp>

#include "player/Relocation.h"
#include "tools/Commands.h"

namespace slamwise::cli {

int showInfo(Io io, const std::string& path, bool json) {
    Result<OpenImage> image = openImage(path, RomFile::Access::ReadOnly);
    if (!image) {
        return fail(io, image.error());
    }
    const RomFile& rom = image->rom;
    std::uint8_t titleBytes[kTitleLength] = {};
    if (Status status = rom.read(kTitleOffset, titleBytes); !status) {
        return fail(io, status.message());
    }
    const std::string title = titleText(titleBytes);
    const std::optional<Identification>& id = image->identification;

    // Only releases with player data have a visual table to relocate.
    std::string relocation = "not applicable";
    if (id && hasPlayerData(id->release)) {
        Result<RelocationState> state = detectRelocation(rom);
        if (!state) {
            return fail(io, state.error());
        }
        switch (*state) {
            case RelocationState::Relocated:
                relocation = "relocated";
                break;
            case RelocationState::NotRelocated:
                relocation = "not relocated";
                break;
            case RelocationState::Unknown:
                relocation = "unclear markers, taken as not relocated";
                break;
        }
    }

    if (json) {
        nlohmann::ordered_json info;
        info["file"] = rom.path();
        info["release"] = id ? nlohmann::ordered_json(std::string(releaseName(id->release)))
                             : nlohmann::ordered_json(nullptr);
        info["releaseCode"] = id ? nlohmann::ordered_json(std::string(releaseCode(id->release)))
                                 : nlohmann::ordered_json(nullptr);
        info["title"] = title;
        info["copierHeader"] = rom.hasCopierHeader();
        info["playerData"] = id && hasPlayerData(id->release);
        info["relocation"] = relocation;
        info["fileSize"] = rom.fileSize();
        io.out << info.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
               << "\n";
        return kExitSuccess;
    }
    io.out << "File:          " << rom.path() << "\n";
    if (id) {
        io.out << "Release:       " << releaseName(id->release) << " (" << releaseCode(id->release)
               << ")\n";
    } else {
        io.out << "Release:       unknown (matches no release of the game)\n";
    }
    io.out << "Title:         \"" << title << "\"\n";
    io.out << "Copier header: " << (rom.hasCopierHeader() ? "yes" : "no") << "\n";
    io.out << "Player data:   " << (id && hasPlayerData(id->release) ? "yes" : "no") << "\n";
    io.out << "Visual data:   " << relocation << "\n";
    io.out << "File size:     " << rom.fileSize() << " bytes\n";
    return kExitSuccess;
}

}  // namespace slamwise::cli
