#include "storage/History.h"

#include <utility>

#include "storage/Edit.h"
#include "storage/FileIo.h"
#include "storage/RomFile.h"

namespace slamwise {

void History::record(std::string label, std::vector<JournalRange> ranges) {
    if (ranges.empty()) {
        return;
    }
    undo_.push_back({std::move(label), std::move(ranges), nextSerial_++});
    redo_.clear();
}

void History::clear() {
    undo_.clear();
    redo_.clear();
}

Status History::undo(RomFile& rom) {
    return step(rom, true);
}

Status History::redo(RomFile& rom) {
    return step(rom, false);
}

Status History::step(RomFile& rom, bool undo) {
    std::vector<Entry>& from = undo ? undo_ : redo_;
    std::vector<Entry>& to = undo ? redo_ : undo_;
    if (from.empty()) {
        return {};
    }
    const Entry& entry = from.back();
    const std::string what = (undo ? "Cannot undo " : "Cannot redo ") + quoted(entry.label);
    auto refuse = [&](const std::string& why) {
        clear();
        return Status::failure(what + ": " + why +
                               " Nothing was written; the list of changes to "
                               "undo and redo was cleared.");
    };

    // The ranges are written in reverse for an undo, so overlapping ranges end as before.
    Edit edit;
    const std::uint32_t header = rom.headerSize();
    auto add = [&](const JournalRange& range) {
        edit.putBytes(static_cast<std::uint32_t>(range.fileOffset - header),
                      undo ? range.before : range.after);
    };
    if (undo) {
        for (auto range = entry.ranges.rbegin(); range != entry.ranges.rend(); ++range) {
            add(*range);
        }
    } else {
        for (const JournalRange& range : entry.ranges) {
            add(range);
        }
    }
    if (Status status = rom.check(edit); !status) {
        return refuse(status.message());
    }
    // The file must still hold what the step takes back, or the bytes of others would be lost.
    for (const JournalRange& range : entry.ranges) {
        std::vector<std::uint8_t> now(range.before.size());
        if (Status status = rom.read(static_cast<std::uint32_t>(range.fileOffset - header), now);
            !status) {
            return Status::failure(what + ": " + status.message() + " Nothing was written.");
        }
        if (now != (undo ? range.after : range.before)) {
            return refuse(
                "the file no longer holds what that change left there; it was changed "
                "by another program.");
        }
    }
    if (Status status = rom.apply(edit); !status) {
        return status;  // it says what was left as it was
    }
    to.push_back(std::move(from.back()));
    from.pop_back();
    return {};
}

}  // namespace slamwise
