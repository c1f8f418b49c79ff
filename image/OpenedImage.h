#pragma once

#include <optional>
#include <string>
#include <vector>

#include "game/Identify.h"
#include "game/Relocation.h"
#include "storage/Result.h"
#include "storage/RomFile.h"

namespace slamwise {

// The parts of an image that the editor reads and writes.
enum class Table {
    Players,     // the actual player table
    Visual,      // the visual table of the layout in use
    Rosters,     // the roster table
    Cheats,      // the two cheat bytes
    Relocation,  // everything the relocation reads and writes
};

// Why the editor leaves an image alone altogether.
enum class Refusal {
    None,
    Unreadable,      // the first byte or the internal header cannot be read
    FirstByteZero,   // not taken as a ROM image
    UnknownRelease,  // matches no release of the game
    TooShort,        // the file ends before the internal header that tells the release
};

// What a reading-only opening does while a journal that cannot be used lies beside the image.
enum class UnusableJournal {
    Refuse,    // opening fails with the reason: the file may hold a change half-written
    ReadAsIs,  // the file is read as it is (the notice says why that may mislead)
};

// An image as opening leaves it, with everything opening means: an unfinished change put back
// (and the notice saying so), the copier header, the release, the verdict on whether and where
// the image may be read and written, and the relocation state. A Session holds it while the image
// is open; the windows and the command line only turn what it says into message boxes or lines
// of text.
class OpenedImage {
  public:
    // Opens an existing file. For writing, see RomFile::open. For reading, a file with an
    // unfinished change beside it is opened for writing, so that the change is put back first;
    // when the file is not writable, opening fails and says which file must be made writable.
    // A journal that cannot be used refuses an opening for reading, unless asked to read as is.
    static Result<OpenedImage> open(const std::string& path, RomFile::Access access,
                                    UnusableJournal unusable = UnusableJournal::Refuse);

    RomFile& rom() { return rom_; }
    const RomFile& rom() const { return rom_; }
    const std::string& path() const { return rom_.path(); }
    // What opening had to tell the user (an unfinished change undone, a journal left alone), or
    // nothing.
    const std::string& notice() const { return rom_.openingNotice(); }

    // Whether the editor works on the image at all, and why not.
    Refusal refusal() const { return refusal_; }
    const Status& verdict() const { return verdict_; }
    const std::optional<Identification>& identification() const { return identification_; }
    // The release table's row; only for an image without refusal.
    const ReleaseFacts& facts() const { return factsOf(identification_->release); }
    // The release offers no player data: the player editor is shut off.
    bool shutOff() const { return identification_ && !facts().playerData; }

    // Whether the table may be read and written: the image is not refused, its release has the
    // table, and the file holds all of it (and for the visual table, the layout is known).
    Status allows(Table table) const;
    // Why the file does not hold all of the table: it is cut off before the table's end ("the
    // file ends inside the player table"); empty when it holds the table. For the visual table,
    // the relocated one is looked at unless the visual data is known to be in place.
    std::string cutOff(Table table) const;
    // One note for each table the file does not hold, for the user, once.
    std::vector<std::string> cutOffNotes() const;

    // The relocation detection: its failure (a read error), if any, and the state it found.
    const Status& relocationStatus() const { return relocationStatus_; }
    RelocationState relocationState() const { return relocation_; }
    bool relocated() const { return relocation_ == RelocationState::Relocated; }
    VisualLayout visualLayout() const {
        return relocated() ? VisualLayout::Relocated : VisualLayout::Standard;
    }
    // Looks at the image again after a write: a change may have relocated the visual table or
    // taken a relocation back, and a patch may have changed anything.
    void reexamine();

  private:
    explicit OpenedImage(RomFile rom) : rom_(std::move(rom)) {}
    void examine();
    void refuse(Refusal refusal, Status why);
    void detectRelocationState();

    RomFile rom_;
    Refusal refusal_ = Refusal::None;
    Status verdict_;
    std::optional<Identification> identification_;
    Status relocationStatus_;
    RelocationState relocation_ = RelocationState::Unknown;
};

}  // namespace slamwise
