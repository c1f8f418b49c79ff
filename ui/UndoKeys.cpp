#include "ui/UndoKeys.h"

#include <QAction>
#include <QKeySequence>
#include <QList>
#include <QWidget>

#include "platform/Platform.h"
#include "ui/ImageSession.h"

namespace slamwise {

UndoKeys::UndoKeys(QWidget* window, ImageSession& session, MessageBoxes& messages)
    : QObject(window),
      window_(window),
      session_(session),
      messages_(messages),
      mark_(session.session().history().mark()) {
    QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
    for (const QKeySequence& key :
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}) {
        if (!redoKeys.contains(key)) {
            redoKeys << key;
        }
    }
    auto* undoAction = new QAction(window);
    undoAction->setObjectName(QStringLiteral("UndoKey"));
    undoAction->setShortcuts(QKeySequence::Undo);
    auto* redoAction = new QAction(window);
    redoAction->setObjectName(QStringLiteral("RedoKey"));
    redoAction->setShortcuts(redoKeys);
    for (QAction* action : {undoAction, redoAction}) {
        action->setShortcutContext(Qt::WindowShortcut);
        window->addAction(action);
    }
    connect(undoAction, &QAction::triggered, this, &UndoKeys::undo);
    connect(redoAction, &QAction::triggered, this, &UndoKeys::redo);
}

void UndoKeys::step(bool undo) {
    if (!session_.isOpen()) {
        return;
    }
    const History& history = session_.session().history();
    if (undo ? !history.canUndoSince(mark_) : !history.canRedoSince(mark_)) {
        return;
    }
    // The window shows the file again when the session says it was written.
    stepHistory(session_, undo, window_, messages_);
}

void stepHistory(ImageSession& session, bool undo, QWidget* window, MessageBoxes& messages) {
    if (Status status = undo ? session.undo() : session.redo(); !status) {
        messages.show(window, MessageBoxes::Icon::Critical, window->windowTitle(),
                      undo ? QStringLiteral("The change could not be undone.")
                           : QStringLiteral("The change could not be redone."),
                      QString::fromStdString(status.message()));
    }
}

}  // namespace slamwise
