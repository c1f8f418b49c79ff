#include "app/ChecksumActions.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>

#include "app/Menus.h"
#include "ui/Caption.h"
#include "ui/ImageSession.h"

namespace slamwise {

namespace {

const QString kOn = QStringLiteral("1");

}  // namespace

ChecksumActions::ChecksumActions(QMainWindow* window, ImageSession& session, Platform platform,
                                 const Menus& menus)
    : QObject(window), window_(window), session_(session), platform_(platform) {
    label_ = new QLabel(window);
    label_->setObjectName(QStringLiteral("ChecksumLBL"));
    window->statusBar()->addPermanentWidget(label_);

    const bool autoFix = platform_.settings.value(settings_keys::kFixChecksum) == kOn;
    menus.autoFixChecksum->setChecked(autoFix);
    session_.setFixChecksum(autoFix);

    connect(menus.fixChecksum, &QAction::triggered, this, &ChecksumActions::fix);
    connect(menus.autoFixChecksum, &QAction::toggled, this, &ChecksumActions::setAutoFix);
    for (auto signal : {&ImageSession::opened, &ImageSession::written, &ImageSession::closed}) {
        connect(&session_, signal, this, &ChecksumActions::showState);
    }
    showState();
}

void ChecksumActions::showState() {
    state_.reset();
    if (session_.isOpen()) {
        if (Result<ChecksumState> read = checksumOf(session_.image().rom())) {
            state_ = *read;
        }
    }
    label_->setText(!state_           ? QString()
                    : state_->valid() ? QStringLiteral("Checksum valid")
                                      : QStringLiteral("Checksum stale"));
}

void ChecksumActions::setAutoFix(bool on) {
    platform_.settings.setValue(settings_keys::kFixChecksum, on ? kOn : QStringLiteral("0"));
    session_.setFixChecksum(on);
}

void ChecksumActions::fix() {
    if (!session_.isOpen()) {
        return;
    }
    if (Status status = session_.apply(fixChecksum()).status(); !status) {
        platform_.messages.show(window_, MessageBoxes::Icon::Critical, programCaption(),
                                QStringLiteral("The checksum could not be fixed."),
                                QString::fromStdString(status.message()));
    }
}

}  // namespace slamwise
