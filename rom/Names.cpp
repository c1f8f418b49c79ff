#include "rom/Names.h"

#include <cstdio>
#include <map>

namespace slamwise {

namespace {

std::string numbered(const char* format, int number) {
    char text[48];
    std::snprintf(text, sizeof text, format, number);
    return text;
}

GameNames makeDefaultNames() {
    GameNames names;
    for (int i = 0; i < GameNames::kRosterPlayerCount; ++i) {
        // Players 0-127 are the league's, 128 onwards the special and secret characters.
        names.players.push_back(i < 128 ? numbered("Player %03d", i)
                                        : numbered("Special Player %03d", i));
    }
    names.players[81] += " (Unused)";
    names.players[141] += " (Unused)";
    names.players[166] = "Unused Secret Player";

    for (int t = 0; t < 27; ++t) {
        names.teams.push_back(numbered("Team %02d", t + 1));
    }
    names.teams.push_back("All-Stars");
    names.teams.push_back("Rookies");

    const std::map<int, std::string> described = {
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
    names.heads.push_back("-- Not Implemented Yet --");
    for (int h = 1; h < GameNames::kHeadCount; ++h) {
        auto found = described.find(h);
        names.heads.push_back(found != described.end() ? found->second
                                                       : numbered("Head Graphic %02d", h));
    }
    return names;
}

}  // namespace

const GameNames& defaultNames() {
    static const GameNames names = makeDefaultNames();
    return names;
}

}  // namespace slamwise
