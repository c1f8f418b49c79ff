#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "storage/Journal.h"
#include "storage/Result.h"

namespace slamwise {

class RomFile;

// The changes written to the open image since it was opened, to take them back and write them
// again. Each entry holds the bytes a change replaced and the bytes it wrote, as they were read
// from and written to the file. Undo writes the replaced bytes back, redo the written ones, each
// as one all-or-nothing change. History lives only as long as the open image.
class History {
  public:
    struct Entry {
        std::string label;                 // "Apply to Player 037"
        std::vector<JournalRange> ranges;  // file offsets, as the change wrote them
        std::uint64_t serial = 0;          // in the order the changes were first made
    };

    // A complete change; it ends what could be redone.
    void record(std::string label, std::vector<JournalRange> ranges);
    void clear();

    std::size_t undoCount() const { return undo_.size(); }
    std::size_t redoCount() const { return redo_.size(); }
    // What a window opened now may later take for its own changes: undo and redo of changes made
    // since the mark.
    std::uint64_t mark() const { return nextSerial_; }
    bool canUndoSince(std::uint64_t mark) const { return canUndo() && undo_.back().serial >= mark; }
    bool canRedoSince(std::uint64_t mark) const { return canRedo() && redo_.back().serial >= mark; }
    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    // The label of what undo or redo would take back or write again; empty when nothing.
    std::string undoLabel() const { return canUndo() ? undo_.back().label : std::string(); }
    std::string redoLabel() const { return canRedo() ? redo_.back().label : std::string(); }

    // Writes the bytes the last change replaced (undo) or wrote (redo) back. When the file no
    // longer holds what that change left (another program changed it), nothing is written and
    // the history is cleared. A failing write leaves the file and the history as they were.
    Status undo(RomFile& rom);
    Status redo(RomFile& rom);

  private:
    Status step(RomFile& rom, bool undo);

    std::vector<Entry> undo_;
    std::vector<Entry> redo_;
    std::uint64_t nextSerial_ = 0;
};

}  // namespace slamwise
