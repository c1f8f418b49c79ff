#include "game/Identify.h"

namespace slamwise {

std::optional<Release> releaseFrom(std::uint8_t releaseLetter, std::uint8_t editionCode) {
    switch (releaseLetter) {
        case 0x00:
            return Release::Beta;
        case 'P':
            return Release::Europe;
        case 'J':
            return Release::Japan;
        case 'E':
            if (editionCode == '1') {
                return Release::NorthAmerica;
            }
            if (editionCode == 'g') {
                return Release::OldSchool;
            }
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

namespace {

constexpr ReleaseFacts kReleases[] = {
    {Release::Beta, "BETA", "Beta", "'' [Beta Version]", false, false, false},
    {Release::Europe, "EU", "Europe", "'' [Europe]", false, false, false},
    {Release::Japan, "JPN", "Japan", "'' [Japan]", true, true, true},
    {Release::NorthAmerica, "NA", "North America", "'' [North America]", true, true, true},
    {Release::OldSchool, "ZZZ", "Old School Edition", "'' [Brannick's Old School Edition]", false,
     false, true},
};

}  // namespace

const ReleaseFacts& factsOf(Release release) {
    for (const ReleaseFacts& facts : kReleases) {
        if (facts.release == release) {
            return facts;
        }
    }
    return kReleases[0];  // not reached: every release has its row
}

std::string titleText(const std::uint8_t (&bytes)[kTitleLength]) {
    std::string text;
    for (std::uint8_t byte : bytes) {
        if (byte >= 0x20 && byte < 0x7F) {
            text += static_cast<char>(byte);
        } else if (byte >= 0xA1 && byte <= 0xDF) {
            // U+FF61 onwards, encoded as UTF-8 (three bytes: EF BD xx or EF BE xx).
            unsigned codePoint = 0xFF61 + (byte - 0xA1);
            text += static_cast<char>(0xE0 | (codePoint >> 12));
            text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (codePoint & 0x3F));
        } else {
            text += '?';
        }
    }
    return text;
}

Result<std::optional<Identification>> identify(const RomFile& rom) {
    std::uint8_t title[kTitleLength] = {};
    if (Status status = rom.read(kTitleOffset, title); !status) {
        return status;
    }
    Result<std::uint8_t> letter = rom.read8(kReleaseLetterOffset);
    if (!letter) {
        return letter.status();
    }
    Result<std::uint8_t> edition = rom.read8(kEditionCodeOffset);
    if (!edition) {
        return edition.status();
    }
    std::optional<Release> release = releaseFrom(*letter, *edition);
    if (!release) {
        return std::optional<Identification>();
    }
    return std::optional<Identification>(Identification{*release, titleText(title)});
}

}  // namespace slamwise
