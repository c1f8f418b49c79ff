#include "tools/CommandSupport.h"

#include <charconv>
#include <cstdio>
#include <map>

namespace slamwise::cli {

Result<OpenImage> openImage(const std::string& path, RomFile::Access access) {
    Result<RomFile> rom = RomFile::open(path, access);
    if (!rom) {
        return rom.status();
    }
    Result<std::optional<Identification>> identification = identify(*rom);
    if (!identification) {
        return identification.status();
    }
    return OpenImage{std::move(rom).value(), *identification};
}

std::string_view releaseName(Release release) {
    switch (release) {
        case Release::Beta:
            return "Beta";
        case Release::Europe:
            return "Europe";
        case Release::Japan:
            return "Japan";
        case Release::NorthAmerica:
            return "North America";
        case Release::OldSchool:
            return "Old School Edition";
    }
    return "";
}

Status requirePlayerData(const OpenImage& image) {
    if (!image.identification) {
        return Status::failure(image.rom.path() +
                               ": the image matches no known release of the game, so its "
                               "player data cannot be located.");
    }
    if (!hasPlayerData(image.identification->release)) {
        return Status::failure(image.rom.path() + ": the " +
                               std::string(releaseName(image.identification->release)) +
                               " release has no player data that the editor knows (only the "
                               "Japan and North America releases have).");
    }
    return {};
}

Result<GameNames> namesFor(const std::string& imagePath, const std::string& namesPath) {
    return namesPath.empty() ? namesForImage(imagePath) : loadNames(namesPath);
}

int finishEdit(Io io, RomFile& rom, const Edit& edit, bool dryRun) {
    // The byte each offset ends with (a later write of the edit wins over an earlier one).
    std::map<std::uint32_t, std::uint8_t> after;
    for (const Edit::Write& write : edit.writes()) {
        for (std::size_t i = 0; i < write.bytes.size(); ++i) {
            after[write.offset + static_cast<std::uint32_t>(i)] = write.bytes[i];
        }
    }
    std::vector<std::pair<std::uint32_t, std::pair<std::uint8_t, std::uint8_t>>> changes;
    for (const auto& [offset, value] : after) {
        Result<std::uint8_t> before = rom.read8(offset);
        if (!before) {
            return refuse(io, before.error());
        }
        if (*before != value) {
            changes.push_back({offset, {*before, value}});
        }
    }
    if (dryRun) {
        io.out << "Dry run: " << changes.size() << " byte(s) would change in " << rom.path()
               << "; nothing was written.\n";
        for (const auto& [offset, values] : changes) {
            char line[64];
            std::snprintf(line, sizeof line, "%s: %02X -> %02X\n", hexOffset(offset).c_str(),
                          values.first, values.second);
            io.out << line;
        }
        return kExitSuccess;
    }
    if (!edit.empty()) {
        if (Status status = rom.apply(edit); !status) {
            return refuse(io, status.message());
        }
    }
    io.out << "Changed " << changes.size() << " byte(s) in " << rom.path() << ".\n";
    return kExitSuccess;
}

Edit withoutWritesAt(const Edit& edit, const std::set<std::uint32_t>& offsets) {
    Edit kept;
    for (const Edit::Write& write : edit.writes()) {
        if (!offsets.contains(write.offset)) {
            kept.putBytes(write.offset, write.bytes);
        }
    }
    return kept;
}

int refuse(Io io, const std::vector<std::string>& problems) {
    for (const std::string& problem : problems) {
        io.err << problem << "\n";
    }
    io.err << "Nothing was written.\n";
    return kExitInvalid;
}

int fail(Io io, const std::string& problem) {
    io.err << problem << "\n";
    return kExitInvalid;
}

int refuse(Io io, const std::string& problem) {
    return refuse(io, std::vector<std::string>{problem});
}

std::optional<long> wholeNumber(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    if (text.empty() || text.front() == '+' || (base == 16 && text.front() == '-')) {
        return std::nullopt;
    }
    long value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::string rawCell(unsigned value, int hexDigits) {
    char text[24];
    std::snprintf(text, sizeof text, "raw:0x%0*X", hexDigits, value);
    return text;
}

std::optional<unsigned> rawValue(std::string_view text) {
    constexpr std::string_view kPrefix = "raw:0x";
    if (!text.starts_with(kPrefix) || text.size() == kPrefix.size()) {
        return std::nullopt;
    }
    text.remove_prefix(kPrefix.size());
    unsigned value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (error != std::errc() || end != text.data() + text.size() || value > 0xFFFF) {
        return std::nullopt;
    }
    return value;
}

std::string hexByte(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

}  // namespace slamwise::cli
