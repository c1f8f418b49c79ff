#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "storage/Result.h"
#include "storage/RomFile.h"

namespace slamwise {

// The internal header fields that tell the releases of the game apart.
inline constexpr std::uint32_t kReleaseLetterOffset = 0x7FB5;  // last letter of the game code
inline constexpr std::uint32_t kTitleOffset = 0x7FC0;          // 21-byte internal title
inline constexpr std::uint32_t kTitleLength = 21;
inline constexpr std::uint32_t kEditionCodeOffset = 0x8422;  // '1' North America, 'g' Old School

enum class Release { Beta, Europe, Japan, NorthAmerica, OldSchool };

struct Identification {
    Release release;
    std::string title;  // the 21 title characters as UTF-8, trailing blanks kept
};

// The release of the image, or nothing when the three fields match no known release.
Result<std::optional<Identification>> identify(const RomFile& rom);

// The pure rule behind identify().
std::optional<Release> releaseFrom(std::uint8_t releaseLetter, std::uint8_t editionCode);

// What the editor knows of each release: one table, read by the windows, the command line and
// the tests alike; nothing else tells the releases apart.
struct ReleaseFacts {
    Release release;
    std::string_view code;           // "NA": the code the editor keeps for the release
    std::string_view name;           // "North America": the release as the command line names it
    std::string_view captionEnding;  // "'' [North America]": what follows the title in a caption
    bool playerData;                 // the actual player table lies where the editor knows it
    bool visualData;                 // the visual table too, and it can be relocated
    bool cheats;                     // the two cheat bytes can be edited
};

const ReleaseFacts& factsOf(Release release);

// The title bytes as text: printable ASCII as it is, bytes 0xA1-0xDF as the half-width
// katakana they stand for in a header, anything else as '?'. Always 21 characters.
std::string titleText(const std::uint8_t (&bytes)[kTitleLength]);

}  // namespace slamwise
