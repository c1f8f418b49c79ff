#include "image/OpenedImage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <tuple>

#include "game/ActualTable.h"
#include "game/CheatBytes.h"
#include "game/RosterTable.h"
#include "storage/FaultInjection.h"
#include "storage/Text.h"

namespace slamwise {

namespace {

// Identification reads up to the edition code: a shorter file is no image of the game.
constexpr std::uint32_t kIdentifiedEnd = kEditionCodeOffset + 1;

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

Result<OpenedImage> OpenedImage::open(const std::string& path, RomFile::Access access,
                                      UnusableJournal unusable) {
    // An unfinished change is put back before the file is read, which takes writing; a file that
    // cannot be written is opened for reading, and the journal's verdict refuses it if need be.
    const bool readOnly = access == RomFile::Access::ReadOnly;
    struct stat journal {};
    if (readOnly &&
        (::lstat(RomFile::journalPathFor(path).c_str(), &journal) == 0 ||
         ::lstat((path + "-journal").c_str(), &journal) == 0) &&
        ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0) {
        access = RomFile::Access::ReadWrite;
    }
    Result<RomFile> rom = RomFile::open(path, access);
    if (!rom) {
        return rom.status();
    }
    if (readOnly && unusable == UnusableJournal::Refuse && !rom->journalUnusable()) {
        return Status::failure(rom->journalUnusable().message() +
                               " Until then the file may hold a change half-written, so it is "
                               "not read.");
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
    if (rom_.imageSize() < kIdentifiedEnd) {
        refuse(Refusal::TooShort,
               Status::failure(
                   quoted(path()) + " is not a ROM image: at " + std::to_string(rom_.fileSize()) +
                   " bytes it is too short to hold the internal header that tells "
                   "the release (up to offset " +
                   hexOffset(kIdentifiedEnd - 1) +
                   (rom_.hasCopierHeader() ? ", after a 512-byte copier header" : "") + ")."));
        return;
    }
    Result<std::uint8_t> first = rom_.read8(0);
    if (!first) {
        refuse(Refusal::Unreadable, first.status());
        return;
    }
    Result<std::optional<Identification>> identified = identify(rom_);
    if (identified) {
        identification_ = *identified;
        if (std::string reason = cutOff(Table::Relocation); reason.empty()) {
            detectRelocationState();
        } else {
            relocationStatus_ = Status::failure(quoted(path()) + ": " + reason + ".");
        }
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

std::string OpenedImage::cutOff(Table table) const {
    // The visual table's place is known only where the relocation can be told.
    const bool layoutKnown = relocationStatus_.ok() || table != Table::Visual;
    const Extent extent = extentOf(layoutKnown ? table : Table::Relocation, visualLayout());
    const std::uint64_t size = rom_.imageSize();
    if (size >= extent.end) {
        return {};
    }
    return "the file ends at " + hexOffset(static_cast<std::uint32_t>(size)) + ", " +
           (size > extent.begin ? "inside" : "before") + " the " + extent.name + " (" +
           hexOffset(extent.begin) + " to " + hexOffset(extent.end - 1) + "): it is cut off";
}

std::vector<std::string> OpenedImage::cutOffNotes() const {
    std::vector<std::string> notes;
    if (!verdict_) {
        return notes;
    }
    for (Table table : {Table::Players, Table::Visual, Table::Rosters, Table::Cheats}) {
        if (std::string reason = cutOff(table); !reason.empty()) {
            notes.push_back(quoted(path()) + ": " + reason + ".");
        }
    }
    return notes;
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
    if (std::string reason = cutOff(table); !reason.empty()) {
        return Status::failure(quoted(path()) + ": " + reason + ".");
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
