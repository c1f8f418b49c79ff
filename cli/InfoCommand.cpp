// info: what the image is, and whether the editor works on it.

#include <nlohmann/json.hpp>

#include "cli/Commands.h"

namespace slamwise::cli {

namespace {

// What the image offers, table by table, as info tells it.
struct Offered {
    bool playerData = false;
    std::string players;     // "yes", or "no (why)"
    std::string relocation;  // the visual data
    std::string rosters;
    std::string cheats;
};

std::string offered(const OpenedImage& image, Table table, bool inRelease) {
    if (!image.verdict() || !inRelease) {
        return "no";
    }
    const std::string reason = image.cutOff(table);
    return reason.empty() ? "yes" : "no (" + reason.substr(0, reason.find(" (")) + ")";
}

Result<Offered> offeredBy(const OpenedImage& image) {
    const bool known = image.verdict().ok();
    Offered offer;
    offer.players = offered(image, Table::Players, known && image.facts().playerData);
    offer.playerData = offer.players == "yes";
    offer.rosters = offered(image, Table::Rosters, known);
    offer.cheats = offered(image, Table::Cheats, known && image.facts().cheats);
    // Only releases with player data have a visual table to relocate.
    offer.relocation = "not applicable";
    if (known && image.facts().playerData) {
        const std::string reason = image.cutOff(Table::Visual);
        if (!reason.empty()) {
            offer.relocation = "not held (" + reason.substr(0, reason.find(" (")) + ")";
        } else if (!image.relocationStatus()) {
            return image.relocationStatus();
        } else {
            offer.relocation = image.relocated() ? "relocated"
                               : image.relocationState() == RelocationState::NotRelocated
                                   ? "not relocated"
                                   : "unclear markers, taken as not relocated";
        }
    }
    return offer;
}

void printJson(Io io, const OpenedImage& image, const std::string& title, const Offered& offer,
               const Result<ChecksumState>& sum) {
    const RomFile& rom = image.rom();
    const std::optional<Identification>& id = image.identification();
    auto text = [](std::optional<std::string_view> value) {
        return value ? nlohmann::ordered_json(std::string(*value))
                     : nlohmann::ordered_json(nullptr);
    };
    const std::string refusal = image.verdict() ? "" : image.verdict().message();
    nlohmann::ordered_json info;
    info["file"] = rom.path();
    info["release"] = text(id ? std::optional(factsOf(id->release).name) : std::nullopt);
    info["releaseCode"] = text(id ? std::optional(factsOf(id->release).code) : std::nullopt);
    info["title"] = title;
    info["copierHeader"] = rom.hasCopierHeader();
    info["playerData"] = offer.playerData;
    info["relocation"] = offer.relocation;
    info["rosters"] = offer.rosters;
    info["cheats"] = offer.cheats;
    info["cutOff"] = image.cutOffNotes();
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
    io.out << info.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
}

void printText(Io io, const OpenedImage& image, const std::string& title, const Offered& offer,
               const Result<ChecksumState>& sum) {
    const RomFile& rom = image.rom();
    const std::optional<Identification>& id = image.identification();
    io.out << "File:          " << rom.path() << "\n";
    if (id) {
        io.out << "Release:       " << factsOf(id->release).name << " ("
               << factsOf(id->release).code << ")\n";
    } else {
        io.out << "Release:       unknown (matches no release of the game)\n";
    }
    io.out << "Title:         \"" << title << "\"\n";
    io.out << "Copier header: " << (rom.hasCopierHeader() ? "yes" : "no") << "\n";
    io.out << "Player data:   " << offer.players << "\n";
    io.out << "Visual data:   " << offer.relocation << "\n";
    io.out << "Rosters:       " << offer.rosters << "\n";
    io.out << "Cheats:        " << offer.cheats << "\n";
    io.out << "File size:     " << rom.fileSize() << " bytes\n";
    io.out << "Checksum:      " << (sum ? checksumText(*sum) : "none (the image is too short)")
           << "\n";
    for (const std::string& note : image.cutOffNotes()) {
        io.out << "Cut off:       " << note << "\n";
    }
    if (!image.verdict()) {
        io.out << "Refused:       " << image.verdict().message() << "\n";
    }
}

}  // namespace

int showInfo(Io io, const std::string& path, bool json) {
    Result<OpenedImage> image = openAnyFile(io, path, RomFile::Access::ReadOnly);
    if (!image) {
        return fail(io, image.error());
    }
    const RomFile& rom = image->rom();
    if (image->refusal() == Refusal::TooShort) {
        // Nothing of it can be read as an image: only what the file is.
        if (json) {
            nlohmann::ordered_json info = {{"file", rom.path()},
                                           {"fileSize", rom.fileSize()},
                                           {"refused", image->verdict().message()}};
            io.out << info.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
                   << "\n";
        } else {
            io.out << "File:          " << rom.path() << "\n";
            io.out << "File size:     " << rom.fileSize() << " bytes\n";
            io.out << "Refused:       " << image->verdict().message() << "\n";
        }
        return kExitInvalid;
    }
    std::uint8_t titleBytes[kTitleLength] = {};
    if (Status status = rom.read(kTitleOffset, titleBytes); !status) {
        return fail(io, status.message());
    }
    Result<Offered> offer = offeredBy(*image);
    if (!offer) {
        return fail(io, offer.error());
    }
    // An image too short to hold a checksum has none; any other failure is a read error.
    Result<ChecksumState> sum = checksumOf(rom);
    if (!sum && rom.imageSize() >= kChecksumEnd) {
        return fail(io, sum.error());
    }
    if (json) {
        printJson(io, *image, titleText(titleBytes), *offer, sum);
    } else {
        printText(io, *image, titleText(titleBytes), *offer, sum);
    }
    return image->verdict() ? kExitSuccess : kExitInvalid;
}

}  // namespace slamwise::cli
