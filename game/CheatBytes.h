#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "storage/Edit.h"
#include "storage/Result.h"
#include "storage/RomFile.h"

namespace slamwise {

// The sixteen cheat switches: two bytes, a set bit is a switch that is on.
constexpr std::uint32_t kCheatByte1 = 0x179C4;  // switches 1-8, bit 0 first
constexpr std::uint32_t kCheatByte2 = 0x179C5;  // switches 9-16, bit 0 first
constexpr int kCheatsPerByte = 8;

struct CheatBytes {
    std::uint8_t first = 0;
    std::uint8_t second = 0;
    bool operator==(const CheatBytes&) const = default;
};

// Ticks of one list, entry i standing for bit i (mask 1 << i).
using CheatList = std::array<bool, kCheatsPerByte>;

// Reads byte 1 and byte 2, in one read.
Result<CheatBytes> readCheatBytes(const RomFile& rom);
// Adds byte 1, then byte 2 to the edit.
void writeCheatBytes(Edit& edit, CheatBytes bytes);
std::uint8_t packCheatList(const CheatList& ticks);
CheatList unpackCheatList(std::uint8_t byte);

// The list entries, bit 0 first. A trailing "*" marks a switch that is not confirmed before
// tip-off (see kCheatNote).
inline constexpr std::array<std::string_view, kCheatsPerByte> kCheat1Entries = {
    "Powerup Push",  "Powerup 3pt", "Powerup Turbo", "Powerup Fire",
    "Powerup Dunks", "Max Power",   "Powerup G.T.",  "Quick Hands",
};
inline constexpr std::array<std::string_view, kCheatsPerByte> kCheat2Entries = {
    "Powerup Off",      "Speed Mode*",  "Push Opponent 1*", "Unknown 1*",
    "Push Opponent 2*", "Rainbow Arc*", "Unknown 2*",       "Unknown 3*",
};

inline constexpr std::string_view kCheatNote =
    "*-When activated this code does not confirm before tip-off.";

// One line per switch, byte 1 bit 0 first, byte 2 bit 7 last.
inline constexpr std::array<std::string_view, 2 * kCheatsPerByte> kCheatDefinitions = {
    "Powerup Push: This code makes it so when you push a player down they fly far away.  Also "
    "gives you a \"9\" rating on blocks.",
    "Powerup 3pt: Gives you a \"9\" rating for 3 point shot attempts.",
    "Powerup Turbo: Gives your player infinite turbo.",
    "Powerup Fire: Gives your player the \"Fire\" attribute permanently from the start of the "
    "game.",
    "Powerup Dunks: Gives your player the ability to dunk from anywhere on the court.  Also gives "
    "you a \"9\" rating on dunks.",
    "Max Power: Makes it so you are difficulty to knock down, have the ball stolen or your shot "
    "blocked.",
    "Powerup G.T.: This powerup allows to to goal tend your opponent's shots without penalty.",
    "Quick Hands: Gives you a rating of \"9\" on steals.",
    "Powerup Off: This increases your player's offensive ability by increasing their shooting %.",
    "Speed Mode: This increases your player's speed significantly.",
    "Push Opponent 1: When you push an opponent they both fall down.",
    "Unknown 1: Unknown effect(s) / Nothing?",
    "Push Opponent 2: When you push an opponent your teamate falls down as well.",
    "Rainbow Arc: When you shoot the ball it will have a high arc to the basket.",
    "Unknown 2: Unknown effect(s) / Nothing?",
    "Unknown 3: Unknown effect(s) / Nothing?",
};

}  // namespace slamwise
