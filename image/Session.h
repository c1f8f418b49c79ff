#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/Names.h"
#include "image/Action.h"
#include "image/OpenedImage.h"
#include "storage/ChangedRanges.h"
#include "storage/History.h"
#include "storage/Result.h"

namespace slamwise {

// What an action comes to: its label, its edit (with the checksum fix, when that is on) and the
// runs of bytes it changes, in offset order.
struct Applied {
    std::string label;
    Edit edit;
    std::vector<ChangedRange> changes;
};

// Whether apply writes, or stops just before the write.
enum class Run { Write, DryRun };

// Whether prepare lists the runs of bytes that change: a dry run and the command line show them;
// a window's Apply shows none and is spared the work.
enum class ListChanges { Yes, No };

// The open image and everything that lives as long as it is open: what opening found, the names
// shown for its players and teams, the changes that can be undone, and the checksum rule. Every
// write of the program, from a window or from the command line, passes through apply, undo or
// redo here.
class Session {
  public:
    explicit Session(OpenedImage image, GameNames names = defaultNames());

    const OpenedImage& image() const { return image_; }
    const RomFile& rom() const { return image_.rom(); }
    const std::string& path() const { return image_.path(); }
    const GameNames& names() const { return names_; }
    void setNames(GameNames names) { names_ = std::move(names); }
    const History& history() const { return history_; }

    // "Fix Checksum After Every Change": the fix of the checksum goes into every action's edit,
    // so both are written as one all-or-nothing change.
    void setFixChecksum(bool on) { fixChecksum_ = on; }
    bool fixesChecksum() const { return fixChecksum_; }

    // prepare, then with Run::Write commit: a dry run is the same call stopped before the write.
    Result<Applied> apply(const Action& action, Run run = Run::Write);
    // Builds the action's edit, adds the checksum fix when that is on, makes every check the
    // write would make (the file is open for writing, holds every byte, was not changed by
    // others, has no journal beside it) and lists the bytes that change. Writes nothing.
    Result<Applied> prepare(const Action& action, ListChanges list = ListChanges::Yes) const;
    // Writes a prepared edit as one change, records it under its label and looks at the image
    // again (OpenedImage::reexamine).
    Status commit(const Applied& applied);

    // Write the bytes the last change replaced, or wrote, back (see History). The image is
    // looked at again afterwards.
    Status undo();
    Status redo();

  private:
    Status afterStep(Status status);

    OpenedImage image_;
    GameNames names_;
    History history_;
    bool fixChecksum_ = false;
};

}  // namespace slamwise
