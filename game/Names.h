#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "game/ActualTable.h"
#include "game/RosterTable.h"

namespace slamwise {

// Display names of the game's players, teams and head graphics. They are game data that the
// editor does not take from the image; the program ships neutral placeholders, and a names file
// beside the image can replace any of them.
struct GameNames {
    static constexpr int kPlayerCount = slamwise::kPlayerCount;  // records in the player table
    // Entry codes 0x00-0xA9 of the rosters.
    static constexpr int kRosterPlayerCount = kLastPlayerCode + 1;
    static constexpr int kTeamCount = kRosterTeamCount;
    static constexpr int kHeadCount = 80;

    std::vector<std::string> players;  // kRosterPlayerCount names, index = entry code
    std::vector<std::string> teams;    // kTeamCount names, index = team index
    std::vector<std::string> heads;    // kHeadCount names, entry 0 "-- Not Implemented Yet --"
};

// The placeholders the program ships.
const GameNames& defaultNames();

// A names file is UTF-8 text, one entry a line:
//
//     # a comment (also after blanks); empty lines are ignored
//     player 12 = Some Name      player 0-169 (entry codes 0x00-0xA9 of the rosters)
//     team 3 = Some Team         team 0-28 (27 = All-Stars, 28 = Rookies by default)
//     head 0x28 = Some Head      head graphic 0-79
//
// Indices are decimal or hexadecimal with "0x". Blanks around the parts are ignored; the name
// runs to the end of the line and may hold any character but a line break ('#' included).
// Entries that the file does not give keep their defaults. A kind or index given twice, an
// unknown kind, an index out of range, an empty name or text that is not UTF-8 is an error.
// Only placeholder names change: teams 27 and 28, head 0, the described heads and player 166
// keep their texts (another text for them is an error), and players 81 and 141 keep the
// ending " (Unused)" whatever name they are given.

enum class NameKind { Player, Team, Head };

// What a names file gave: its names, with the placeholders standing in wherever a line could not
// be read, and every problem, one line each, as "<path>:<line>: <what is wrong>". A kind of names
// is incomplete when a line about such names could not be read (every kind, when the line does
// not say which it is about, or when the file cannot be read at all).
struct NamesFile {
    GameNames names;
    std::vector<std::string> problems;
    std::array<bool, 3> incomplete{};  // by NameKind
    bool unreadable = false;           // the file could not be read at all

    bool lacks(NameKind kind) const { return incomplete[static_cast<std::size_t>(kind)]; }
};

// Reads the names file at path.
NamesFile loadNames(const std::string& path);

// The same over text already read; sourceName stands for the file in messages.
NamesFile parseNames(std::string_view text, const std::string& sourceName);

// The names file that belongs to an image: "<image path>.names" when it exists, otherwise
// "slamwise-names.txt" in the image's folder; nothing when neither exists.
std::optional<std::string> namesFileBeside(const std::string& imagePath);

// The names for an image: those of its names file (namesFileBeside) or, without one, the
// defaults.
NamesFile namesForImage(const std::string& imagePath);

// True when text is well-formed UTF-8 (no overlong forms, no surrogates).
bool isUtf8(std::string_view text);

}  // namespace slamwise
