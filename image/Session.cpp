#include "image/Session.h"

#include <utility>

#include "game/Checksum.h"

namespace slamwise {

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
    Result<std::vector<ChangedRange>> changes = changedRanges(image_.rom(), applied.edit);
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
    if (Status status = image_.rom().apply(applied.edit, &written); !status) {
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
