#include "app/UndoActions.h"

#include <QAction>
#include <QMainWindow>

#include "app/Menus.h"
#include "ui/ImageSession.h"

namespace slamwise {

UndoActions::UndoActions(QMainWindow* window, ImageSession& session, Platform platform,
                         const Menus& menus)
    : QObject(window), window_(window), session_(session), platform_(platform) {
    connect(menus.undo, &QAction::triggered, this, [this] { step(true); });
    connect(menus.redo, &QAction::triggered, this, [this] { step(false); });
}

void UndoActions::step(bool undo) {
    if (!session_.isOpen()) {
        return;
    }
    if (Status status = undo ? session_.undo() : session_.redo(); !status) {
        platform_.messages.show(window_, MessageBoxes::Icon::Critical, window_->windowTitle(),
                                undo ? QStringLiteral("The change could not be undone.")
                                     : QStringLiteral("The change could not be redone."),
                                QString::fromStdString(status.message()));
    }
}

}  // namespace slamwise
