// info: what the image is, and whether the editor works on it.

#include <nlohmann/json.hpp>

#include "cli/Commands.h"

namespace slamwise::cli {

int showInfo(Io io, const std::string& path, bool json) {
    Result<OpenedImage> image = openImage(io, path, RomFile::Access::ReadOnly);
    if (!image) {
        return fail(io, image.error());
    }
    const RomFile& rom = image->rom();
    std::uint8_t titleBytes[kTitleLength] = {};
    if (Status status = rom.read(kTitleOffset, titleBytes); !status) {
        return fail(io, status.message());
    }
    const std::string title = titleText(titleBytes);
    const std::optional<Identification>& id = image->identification();
    const bool playerData = image->verdict() && image->facts().playerData;

    // Only releases with player data have a visual table to relocate.
    std::string relocation = "not applicable";
    if (playerData) {
        if (!image->relocationStatus()) {
            return fail(io, image->relocationStatus().message());
        }
        relocation = image->relocated() ? "relocated"
                     : image->relocationState() == RelocationState::NotRelocated
                         ? "not relocated"
                         : "unclear markers, taken as not relocated";
    }
    const std::string refusal = image->verdict() ? "" : image->verdict().message();
    // An image too short to hold a checksum has none; any other failure is a read error.
    Result<ChecksumState> sum = checksumOf(rom);
    if (!sum && rom.imageSize() >= kChecksumEnd) {
        return fail(io, sum.error());
    }

    if (json) {
        nlohmann::ordered_json info;
        auto text = [](std::optional<std::string_view> value) {
            return value ? nlohmann::ordered_json(std::string(*value))
                         : nlohmann::ordered_json(nullptr);
        };
        info["file"] = rom.path();
        info["release"] = text(id ? std::optional(factsOf(id->release).name) : std::nullopt);
        info["releaseCode"] = text(id ? std::optional(factsOf(id->release).code) : std::nullopt);
        info["title"] = title;
        info["copierHeader"] = rom.hasCopierHeader();
        info["playerData"] = playerData;
        info["relocation"] = relocation;
        info["fileSize"] = rom.fileSize();
        if (sum) {
            info["checksum"] = {{"stored", sum->stored},
                                {"complement", sum->complement},
                                {"computed", sum->computed},
                                {"state", sum->valid() ? "valid" : "stale"}};
        } else {
            info["checksum"] = nullptr;
        }
        info["refused"] = text(refusal.empty() ? std::nullopt : std::optional(refusal));
        io.out << info.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
               << "\n";
        return kExitSuccess;
    }
    io.out << "File:          " << rom.path() << "\n";
    if (id) {
        io.out << "Release:       " << factsOf(id->release).name << " ("
               << factsOf(id->release).code << ")\n";
    } else {
        io.out << "Release:       unknown (matches no release of the game)\n";
    }
    io.out << "Title:         \"" << title << "\"\n";
    io.out << "Copier header: " << (rom.hasCopierHeader() ? "yes" : "no") << "\n";
    io.out << "Player data:   " << (playerData ? "yes" : "no") << "\n";
    io.out << "Visual data:   " << relocation << "\n";
    io.out << "File size:     " << rom.fileSize() << " bytes\n";
    io.out << "Checksum:      " << (sum ? checksumText(*sum) : "none (the image is too short)")
           << "\n";
    if (!refusal.empty()) {
        io.out << "Refused:       " << refusal << "\n";
    }
    return kExitSuccess;
}

}  // namespace slamwise::cli
