#include "game/Names.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>

#include "storage/FileIo.h"

namespace slamwise {

namespace {

std::string numbered(const char* format, int number) {
    char text[48];
    std::snprintf(text, sizeof text, format, number);
    return text;
}

// The head graphics that the game's data describes rather than names; they keep these texts.
const std::map<int, std::string> kDescribedHeads = {
    {2, "White Skin/Black Hair"},
    {3, "White Skin/Black Fade"},
    {4, "Tan Skin/Black Hair"},
    {5, "White Skin/Red Fade"},
    {6, "Black Skin/Black Hair"},
    {8, "Black Skin/Bald"},
    {9, "Black Skin/Black Fade"},
    {10, "Black Skin/Balding"},
    {11, "Black Skin/Bald/Goggles (Unused)"},
    {24, "? (Unused)"},
    {32, "Small/White Skin/Black Hair"},
    {33, "Small/White Skin/Black Fade (Unused)"},
    {34, "Small/Tan Skin/Black Hair (Unused)"},
    {35, "Small/Black Skin/Black Hair"},
    {36, "Small/Black Skin/Bald"},
    {37, "Small/Black Skin/Black Fade"},
    {38, "Small/Black Skin/Balding (Unused)"},
};

constexpr int kUnusedPlayers[] = {81, 141};  // their names end with " (Unused)"
constexpr int kUnusedSecretPlayer = 166;
const std::string kUnusedNote = " (Unused)";

GameNames makeDefaultNames() {
    GameNames names;
    for (int i = 0; i < GameNames::kRosterPlayerCount; ++i) {
        // Players 0-127 are the league's, 128 onwards the special and secret characters.
        names.players.push_back(i < 128 ? numbered("Player %03d", i)
                                        : numbered("Special Player %03d", i));
    }
    for (int player : kUnusedPlayers) {
        names.players[player] += kUnusedNote;
    }
    names.players[kUnusedSecretPlayer] = "Unused Secret Player";

    for (int t = 0; t < 27; ++t) {
        names.teams.push_back(numbered("Team %02d", t + 1));
    }
    names.teams.push_back("All-Stars");
    names.teams.push_back("Rookies");

    names.heads.push_back("-- Not Implemented Yet --");
    for (int h = 1; h < GameNames::kHeadCount; ++h) {
        auto found = kDescribedHeads.find(h);
        names.heads.push_back(found != kDescribedHeads.end() ? found->second
                                                             : numbered("Head Graphic %02d", h));
    }
    return names;
}

}  // namespace

bool isUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        // Import files run to tens of kilobytes of mostly 7-bit text: eight bytes at a time.
        if (i + 8 <= text.size()) {
            std::uint64_t word = 0;
            std::memcpy(&word, text.data() + i, sizeof word);
            if ((word & 0x8080808080808080u) == 0) {
                i += 8;
                continue;
            }
        }
        auto byte = static_cast<unsigned char>(text[i]);
        int extra = 0;
        unsigned codePoint = 0;
        if (byte < 0x80) {
            ++i;
            continue;
        } else if ((byte & 0xE0) == 0xC0) {
            extra = 1;
            codePoint = byte & 0x1F;
        } else if ((byte & 0xF0) == 0xE0) {
            extra = 2;
            codePoint = byte & 0x0F;
        } else if ((byte & 0xF8) == 0xF0) {
            extra = 3;
            codePoint = byte & 0x07;
        } else {
            return false;
        }
        if (i + static_cast<std::size_t>(extra) >= text.size()) {
            return false;
        }
        for (int k = 1; k <= extra; ++k) {
            auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        static constexpr unsigned kSmallest[] = {0, 0x80, 0x800, 0x10000};
        if (codePoint < kSmallest[extra] || codePoint > 0x10FFFF ||
            (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
            return false;
        }
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

namespace {

// A decimal number or a hexadecimal one written with "0x"; nothing for anything else.
std::optional<int> indexFrom(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// Whether the entry keeps its text whatever a names file says: the two exhibition teams, the
// first head entry and the described heads, and the unused secret player.
bool isFixedEntry(const std::string& kind, int index) {
    if (kind == "team") {
        return index >= GameNames::kTeamCount - 2;
    }
    if (kind == "head") {
        return index == 0 || kDescribedHeads.count(index) != 0;
    }
    return index == kUnusedSecretPlayer;
}

}  // namespace

const GameNames& defaultNames() {
    static const GameNames names = makeDefaultNames();
    return names;
}

namespace {

// Takes the lines of a names file into it, one at a time.
class NamesReader {
  public:
    NamesReader(NamesFile& file, const std::string& sourceName)
        : file_(file), sourceName_(sourceName) {}

    void read(std::string_view line, int lineNumber) {
        lineNumber_ = lineNumber;
        kind_.reset();
        std::string_view content = trimmed(line);
        if (content.empty() || content.front() == '#') {
            return;
        }
        const std::size_t equals = content.find('=');
        const std::string_view key = trimmed(content.substr(0, equals));
        const std::size_t blank = key.find_first_of(" \t");
        const std::string kind(key.substr(0, blank));
        const std::string_view index =
            blank == std::string_view::npos ? std::string_view{} : trimmed(key.substr(blank));
        static const std::map<std::string, NameKind> kKinds = {
            {"player", NameKind::Player}, {"team", NameKind::Team}, {"head", NameKind::Head}};
        if (auto known = kKinds.find(kind); known != kKinds.end()) {
            kind_ = known->second;
        }
        if (!isUtf8(line)) {
            problem("the line is not UTF-8 text");
        } else if (equals == std::string_view::npos) {
            problem("expected \"player N = name\", \"team N = name\" or \"head N = name\"");
        } else if (!kind_) {
            problem("unknown kind \"" + kind + "\" (expected player, team or head)");
        } else {
            name(kind, index, trimmed(content.substr(equals + 1)));
        }
    }

  private:
    // A problem leaves the names of its kind incomplete; all of them when the kind is unknown.
    void problem(const std::string& what) {
        file_.problems.push_back(sourceName_ + ":" + std::to_string(lineNumber_) + ": " + what);
        if (kind_) {
            file_.incomplete[static_cast<std::size_t>(*kind_)] = true;
        } else {
            file_.incomplete.fill(true);
        }
    }

    void name(const std::string& kind, std::string_view indexText, std::string_view name) {
        GameNames& names = file_.names;
        std::vector<std::string>& list = *kind_ == NameKind::Player ? names.players
                                         : *kind_ == NameKind::Team ? names.teams
                                                                    : names.heads;
        const std::optional<int> index = indexFrom(indexText);
        const int count = static_cast<int>(list.size());
        const std::string what = index ? kind + " " + std::to_string(*index) : "";
        if (!index) {
            return problem("\"" + std::string(indexText) + "\" is not a " + kind + " number");
        }
        if (*index < 0 || *index >= count) {
            return problem(what + " is out of range (0 to " + std::to_string(count - 1) + ")");
        }
        if (name.empty()) {
            return problem(what + " has an empty name");
        }
        if (auto [first, added] = seen_.try_emplace({kind, *index}, lineNumber_); !added) {
            return problem(what + " was already named on line " + std::to_string(first->second));
        }
        std::string& entry = list[static_cast<std::size_t>(*index)];
        if (isFixedEntry(kind, *index)) {
            if (name != entry) {
                problem(what + " is always \"" + entry +
                        "\"; a names file changes only the placeholder names");
            }
            return;
        }
        const bool unusedPlayer =
            kind == "player" && std::find(std::begin(kUnusedPlayers), std::end(kUnusedPlayers),
                                          *index) != std::end(kUnusedPlayers);
        entry = std::string(name);
        if (unusedPlayer && !endsWith(entry, kUnusedNote)) {
            entry += kUnusedNote;  // the list marks this entry as unused whatever its name
        }
    }

    NamesFile& file_;
    const std::string& sourceName_;
    // Where each (kind, index) was given first, to report the second one.
    std::map<std::pair<std::string, int>, int> seen_;
    int lineNumber_ = 0;
    std::optional<NameKind> kind_;
};

}  // namespace

NamesFile parseNames(std::string_view text, const std::string& sourceName) {
    NamesFile file{defaultNames(), {}, {}};
    NamesReader reader(file, sourceName);
    text = withoutByteOrderMark(text);
    for (int lineNumber = 1; !text.empty() || lineNumber == 1; ++lineNumber) {
        const std::size_t end = text.find('\n');
        reader.read(text.substr(0, end), lineNumber);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    }
    return file;
}

NamesFile loadNames(const std::string& path) {
    // Larger than any names file: a few hundred short lines.
    constexpr std::size_t kLargestNamesFile = 4u << 20;
    Result<std::vector<std::uint8_t>> text = readWholeFile(path, kLargestNamesFile);
    if (!text) {
        NamesFile file{defaultNames(),
                       {"Cannot read the names file " + quoted(path) + ": " + text.error() + "."},
                       {}};
        file.incomplete.fill(true);
        file.unreadable = true;
        return file;
    }
    return parseNames(std::string_view(reinterpret_cast<const char*>(text->data()), text->size()),
                      path);
}

std::optional<std::string> namesFileBeside(const std::string& imagePath) {
    namespace fs = std::filesystem;
    std::error_code ignored;
    fs::path own = imagePath + ".names";
    if (fs::is_regular_file(own, ignored)) {
        return own.string();
    }
    fs::path shared = fs::path(imagePath).parent_path() / "slamwise-names.txt";
    if (fs::is_regular_file(shared, ignored)) {
        return shared.string();
    }
    return std::nullopt;
}

NamesFile namesForImage(const std::string& imagePath) {
    if (std::optional<std::string> file = namesFileBeside(imagePath)) {
        return loadNames(*file);
    }
    return NamesFile{defaultNames(), {}, {}};
}

}  // namespace slamwise
