#include "app/UndoActions.h"

#include <QAction>
#include <QMainWindow>

#include "app/Menus.h"
#include "ui/ImageSession.h"
#include "ui/UndoKeys.h"

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
    stepHistory(session_, undo, window_, platform_.messages);
}

}  // namespace slamwise
