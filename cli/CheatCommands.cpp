// cheats get / cheats set: the sixteen cheat switches.

#include <algorithm>
#include <cctype>
#include <map>
#include <nlohmann/json.hpp>

#include "cli/Commands.h"
#include "game/CheatBytes.h"

namespace slamwise::cli {

namespace {

std::string_view entryName(int byte, int bit) {
    return (byte == 0 ? kCheat1Entries : kCheat2Entries)[static_cast<std::size_t>(bit)];
}

// Entry names are matched without regard to case, with or without their trailing "*".
std::string comparable(std::string_view name) {
    std::string text(name);
    while (!text.empty() && (text.back() == '*' || text.back() == ' ')) {
        text.pop_back();
    }
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// (byte 0 or 1, bit) of a switch name; nothing when no switch has it.
std::optional<std::pair<int, int>> findSwitch(std::string_view name) {
    for (int byte = 0; byte < 2; ++byte) {
        for (int bit = 0; bit < kCheatsPerByte; ++bit) {
            if (comparable(entryName(byte, bit)) == comparable(name)) {
                return std::pair{byte, bit};
            }
        }
    }
    return std::nullopt;
}

}  // namespace

int showCheats(Io io, const std::string& path, bool json) {
    Result<OpenedImage> image = openImage(io, path, RomFile::Access::ReadOnly, {Table::Cheats});
    if (!image) {
        return fail(io, image.error());
    }
    Result<CheatBytes> bytes = readCheatBytes(image->rom());
    if (!bytes) {
        return fail(io, bytes.error());
    }
    const std::array<std::uint8_t, 2> values = {bytes->first, bytes->second};
    if (json) {
        nlohmann::ordered_json out;
        out["byte1"] = values[0];
        out["byte2"] = values[1];
        out["switches"] = nlohmann::ordered_json::array();
        for (int byte = 0; byte < 2; ++byte) {
            CheatList ticks = unpackCheatList(values[static_cast<std::size_t>(byte)]);
            for (int bit = 0; bit < kCheatsPerByte; ++bit) {
                out["switches"].push_back({{"name", std::string(entryName(byte, bit))},
                                           {"byte", byte + 1},
                                           {"bit", bit},
                                           {"on", ticks[static_cast<std::size_t>(bit)]}});
            }
        }
        io.out << out.dump(2) << "\n";
        return kExitSuccess;
    }
    for (int byte = 0; byte < 2; ++byte) {
        io.out << "Cheat byte " << byte + 1 << ": "
               << hexByte(values[static_cast<std::size_t>(byte)]) << "\n";
        CheatList ticks = unpackCheatList(values[static_cast<std::size_t>(byte)]);
        for (int bit = 0; bit < kCheatsPerByte; ++bit) {
            io.out << "  [" << (ticks[static_cast<std::size_t>(bit)] ? "x" : " ") << "] "
                   << entryName(byte, bit) << "\n";
        }
    }
    io.out << kCheatNote << "\n";
    return kExitSuccess;
}

int setCheats(Io io, const CheatOptions& options) {
    Result<OpenedImage> image =
        openImage(io, options.image, RomFile::Access::ReadWrite, {Table::Cheats});
    if (!image) {
        return refuse(io, image.error());
    }
    Result<CheatBytes> current = readCheatBytes(image->rom());
    if (!current) {
        return refuse(io, current.error());
    }
    std::array<CheatList, 2> ticks = {unpackCheatList(current->first),
                                      unpackCheatList(current->second)};
    std::vector<std::string> problems;

    const std::array<const std::string*, 2> byteTexts = {&options.byte1, &options.byte2};
    for (std::size_t byte = 0; byte < 2; ++byte) {
        if (byteTexts[byte]->empty()) {
            continue;
        }
        std::optional<std::uint8_t> value = byteValue(*byteTexts[byte]);
        if (!value) {
            problems.push_back("--byte" + std::to_string(byte + 1) + " " + shown(*byteTexts[byte]) +
                               " is not a byte (0 to 255, or 0x00 to 0xFF)");
            continue;
        }
        ticks[byte] = unpackCheatList(*value);
    }
    std::map<std::pair<int, int>, bool> asked;
    for (bool on : {true, false}) {
        for (const std::string& name : on ? options.on : options.off) {
            std::optional<std::pair<int, int>> found = findSwitch(name);
            if (!found) {
                problems.push_back("no cheat switch is called " + shown(name) +
                                   " (see \"slamwise cheats get\" for the names)");
                continue;
            }
            if (auto [previous, added] = asked.try_emplace(*found, on);
                !added && previous->second != on) {
                problems.push_back(shown(name) + " is asked to be both on and off");
                continue;
            }
            ticks[static_cast<std::size_t>(found->first)][static_cast<std::size_t>(found->second)] =
                on;
        }
    }
    if (!problems.empty()) {
        return refuse(io, problems);
    }
    // The cheat window's Apply: both bytes, packed from the ticks.
    return finish(io, std::move(image).value(),
                  saveCheats({packCheatList(ticks[0]), packCheatList(ticks[1])}), options.dryRun);
}

}  // namespace slamwise::cli
