#include "ui/ImageSession.h"

namespace slamwise {

ImageSession::ImageSession(QObject* parent) : QObject(parent), names_(defaultNames()) {}

ImageSession::~ImageSession() = default;

void ImageSession::open(Session session) {
    session_ = std::make_unique<Session>(std::move(session));
    session_->setNames(names_);
    session_->setFixChecksum(fixChecksum_);
    emit opened();
    emit historyChanged();
}

void ImageSession::close() {
    if (!session_) {
        return;
    }
    emit aboutToClose();
    session_.reset();
    emit closed();
    emit historyChanged();  // the history went with the image
}

void ImageSession::setNames(GameNames names) {
    names_ = std::move(names);
    if (session_) {
        session_->setNames(names_);
    }
    emit namesChanged();
}

void ImageSession::setFixChecksum(bool on) {
    fixChecksum_ = on;
    if (session_) {
        session_->setFixChecksum(on);
    }
}

Result<Applied> ImageSession::apply(const Action& action) {
    Result<Applied> applied = check(action);
    if (applied) {
        if (Status status = commit(*applied); !status) {
            return status;
        }
    }
    return applied;
}

Result<Applied> ImageSession::check(const Action& action) const {
    if (!session_) {
        return Status::failure("No image is open.");
    }
    return session_->prepare(action, ListChanges::No);
}

Status ImageSession::commit(const Applied& applied) {
    if (!session_) {
        return Status::failure("No image is open.");
    }
    const std::size_t before = session_->history().undoCount();
    Status status = session_->commit(applied);
    if (session_->history().undoCount() != before) {
        emit historyChanged();
    }
    emit written();
    if (status) {
        emit changeWritten(QString::fromStdString(applied.label), Step::Done);
    }
    return status;
}

Status ImageSession::undo() {
    return step(true);
}

Status ImageSession::redo() {
    return step(false);
}

Status ImageSession::step(bool undo) {
    if (!session_) {
        return {};
    }
    const History& history = session_->history();
    const QString label = QString::fromStdString(undo ? history.undoLabel() : history.redoLabel());
    Status status = undo ? session_->undo() : session_->redo();
    emit historyChanged();  // also when the step was refused and the history cleared
    emit written();
    if (status && !label.isEmpty()) {
        emit changeWritten(label, undo ? Step::Undone : Step::Redone);
    }
    return status;
}

}  // namespace slamwise
