#include "rom/Identify.h"

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

std::string_view releaseCode(Release release) {
    switch (release) {
        case Release::Beta:
            return "BETA";
        case Release::Europe:
            return "EU";
        case Release::Japan:
            return "JPN";
        case Release::NorthAmerica:
            return "NA";
        case Release::OldSchool:
            return "ZZZ";
    }
    return "";
}

std::string_view captionEnding(Release release) {
    switch (release) {
        case Release::Beta:
            return "'' [Beta Version]";
        case Release::Europe:
            return "'' [Europe]";
        case Release::Japan:
            return "'' [Japan]";
        case Release::NorthAmerica:
            return "'' [North America]";
        case Release::OldSchool:
            return "'' [Brannick's Old School Edition]";
    }
    return "";
}

bool hasPlayerData(Release release) {
    return release == Release::Japan || release == Release::NorthAmerica;
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
