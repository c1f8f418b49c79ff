#include "image/OpenedImage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <tuple>

#include "game/ActualTable.h"
#include "game/CheatBytes.h"
#include "game/RosterTable.h"

namespace slamwise {

namespace {

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

struct Extent {
    std::uint32_t begin;
    std::uint32_t end;  // one past the last byte
    const char* name;
};

Extent extentOf(Table table, VisualLayout layout) {
    switch (table) {
        case Table::Players:
            return {kActualTable, actualOffset(kPlayerCount), "player table"};
        case Table::Visual:
            return layout == VisualLayout::Standard
                       ? Extent{kStandardVisualTable, kStandardVisualTable + kStandardVisualSize,
                                "visual table"}
                       : Extent{kRelocatedVisualTable,
                                visualOffset(VisualLayout::Relocated, kPlayerCount),
                                "relocated visual table"};
        case Table::Rosters:
            return {kRosterTable, kRosterTable + kRosterTeamSize * kRosterTeamCount,
                    "roster table"};
        case Table::Cheats:
            return {kCheatByte1, kCheatByte2 + 1, "cheat bytes"};
        case Table::Relocation:
            // From the relocated table up to the end of the standard one, which it copies.
            return {kRelocatedVisualTable, kStandardVisualTable + kStandardVisualSize,
                    "area the relocation reads and writes"};
    }
    return {0, 0, ""};
}

}  // namespace

Result<OpenedImage> OpenedImage::open(const std::string& path, RomFile::Access access) {
    struct stat journal {};
    if (access == RomFile::Access::ReadOnly &&
        ::lstat(RomFile::journalPathFor(path).c_str(), &journal) == 0) {
        if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
            return Status::failure(quoted(path) + " has an unfinished change recorded in " +
                                   quoted(RomFile::journalPathFor(path)) + ". Make " +
                                   quoted(path) +
                                   " writable so that the change can be undone, then try again.");
        }
        access = RomFile::Access::ReadWrite;
    }
    Result<RomFile> rom = RomFile::open(path, access);
    if (!rom) {
        return rom.status();
    }
    OpenedImage image(std::move(rom).value());
    image.examine();
    return image;
}

void OpenedImage::refuse(Refusal refusal, Status why) {
    refusal_ = refusal;
    verdict_ = std::move(why);
}

void OpenedImage::examine() {
    Result<std::uint8_t> first = rom_.read8(0);
    if (!first) {
        refuse(Refusal::Unreadable, first.status());
        return;
    }
    Result<std::optional<Identification>> identified = identify(rom_);
    if (identified) {
        identification_ = *identified;
        detectRelocationState();
    }
    if (*first == 0) {
        refuse(Refusal::FirstByteZero,
               Status::failure(quoted(path()) +
                               " starts with a 0 byte, so it is not taken as a ROM image."));
    } else if (!identified) {
        refuse(Refusal::Unreadable, identified.status());
    } else if (!identification_) {
        refuse(Refusal::UnknownRelease,
               Status::failure(quoted(path()) +
                               " is not an image of a known release of the game (Beta, "
                               "Europe, Japan, North America or the Old School Edition)."));
    }
}

Status OpenedImage::allows(Table table) const {
    if (!verdict_) {
        return verdict_;
    }
    const ReleaseFacts& release = facts();
    const bool present =
        table == Table::Rosters || (table == Table::Cheats    ? release.cheats
                                    : table == Table::Players ? release.playerData
                                                              : release.visualData);
    if (!present) {
        return Status::failure(
            quoted(path()) + ": the " + (table == Table::Cheats ? "cheat codes" : "player data") +
            " of the " + std::string(release.name) + " release cannot be edited.");
    }
    if ((table == Table::Visual || table == Table::Relocation) && !relocationStatus_) {
        return relocationStatus_;
    }
    const Extent extent = extentOf(table, visualLayout());
    if (rom_.imageSize() < extent.end) {
        return Status::failure(quoted(path()) + " ends inside the " + extent.name + " (" +
                               hexOffset(extent.begin) + " to " + hexOffset(extent.end - 1) +
                               "): at " + std::to_string(rom_.imageSize()) +
                               " bytes it is too short to be an image of the game.");
    }
    return {};
}

void OpenedImage::reexamine() {
    const auto known =
        std::tuple(refusal_, verdict_, identification_, relocationStatus_, relocation_);
    refusal_ = Refusal::None;
    verdict_ = {};
    identification_.reset();
    relocationStatus_ = {};
    relocation_ = RelocationState::Unknown;
    examine();
    if (refusal_ == Refusal::Unreadable || !relocationStatus_) {
        // A read that failed now says nothing about the image: what was known stands.
        std::tie(refusal_, verdict_, identification_, relocationStatus_, relocation_) = known;
    }
}

void OpenedImage::detectRelocationState() {
    Result<RelocationState> state = detectRelocation(rom_);
    relocationStatus_ = state.status();
    relocation_ = state ? *state : RelocationState::Unknown;
}

}  // namespace slamwise
