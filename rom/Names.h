#pragma once

#include <string>
#include <vector>

namespace slamwise {

// Display names of the game's players, teams and head graphics. They are game data that the
// editor does not take from the image; the program ships neutral placeholders.
struct GameNames {
    static constexpr int kPlayerCount = 169;        // records in the player table
    static constexpr int kRosterPlayerCount = 170;  // entry codes 0x00-0xA9 of the rosters
    static constexpr int kTeamCount = 29;
    static constexpr int kHeadCount = 80;

    std::vector<std::string> players;  // kRosterPlayerCount names, index = entry code
    std::vector<std::string> teams;    // kTeamCount names, index = team index
    std::vector<std::string> heads;    // kHeadCount names, entry 0 "-- Not Implemented Yet --"
};

// The placeholders the program ships.
const GameNames& defaultNames();

}  // namespace slamwise
