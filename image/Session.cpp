#include "image/Session.h"

#include <map>
#include <utility>

#include "game/Checksum.h"

namespace slamwise {

namespace {

// The byte each offset of the edit ends with (a later write wins over an earlier one), against
// what the file holds there now; offsets whose byte stays the same are left out.
Result<std::vector<ByteChange>> changesOf(const RomFile& rom, const Edit& edit) {
    std::map<std::uint32_t, std::uint8_t> after;
    for (const Edit::Write& write : edit.writes()) {
        for (std::size_t i = 0; i < write.bytes.size(); ++i) {
            after[write.offset + static_cast<std::uint32_t>(i)] = write.bytes[i];
        }
    }
    std::vector<ByteChange> changes;
    auto next = after.begin();
    while (next != after.end()) {
        // Offsets next to each other are read together.
        auto end = next;
        std::uint32_t length = 0;
        while (end != after.end() && end->first == next->first + length) {
            ++end;
            ++length;
        }
        std::vector<std::uint8_t> now(length);
        if (Status status = rom.read(next->first, now); !status) {
            return status;
        }
        for (std::uint32_t i = 0; i < length; ++i, ++next) {
            if (now[i] != next->second) {
                changes.push_back({next->first, now[i], next->second});
            }
        }
    }
    return changes;
}

}  // namespace

Session::Session(OpenedImage image, GameNames names)
    : image_(std::move(image)), names_(std::move(names)) {}

Result<Applied> Session::apply(const Action& action, Run run) {
    Result<Applied> applied = prepare(action);
    if (applied && run == Run::Write) {
        if (Status status = commit(*applied); !status) {
            return status;
        }
    }
    return applied;
}

Result<Applied> Session::prepare(const Action& action) const {
    Result<Edit> built = action.build(image_);
    if (!built) {
        return built.status();
    }
    Applied applied{action.label, std::move(built).value(), {}};
    if (fixChecksum_ && !applied.edit.empty()) {
        if (Status status = addChecksumFix(image_.rom(), applied.edit); !status) {
            return status;
        }
    }
    // The write checks the same again before it writes.
    if (Status status = image_.rom().check(applied.edit); !status) {
        return status;
    }
    Result<std::vector<ByteChange>> changes = changesOf(image_.rom(), applied.edit);
    if (!changes) {
        return changes.status();
    }
    applied.changes = std::move(changes).value();
    return applied;
}

Status Session::commit(const Applied& applied) {
    if (applied.edit.empty()) {
        return {};
    }
    std::vector<JournalRange> written;
    if (Status status = image_.rom().apply(applied.edit, {}, &written); !status) {
        return status;
    }
    history_.record(applied.label, std::move(written));
    image_.reexamine();
    return {};
}

Status Session::undo() {
    return afterStep(history_.undo(image_.rom()));
}

Status Session::redo() {
    return afterStep(history_.redo(image_.rom()));
}

Status Session::afterStep(Status status) {
    if (status) {
        image_.reexamine();  // the step may have taken a relocation or a patch back
    }
    return status;
}

}  // namespace slamwise
