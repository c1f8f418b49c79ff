#include "ui/UndoKeys.h"

#include <QAction>
#include <QKeySequence>
#include <QList>
#include <QWidget>
#include <utility>

#include "platform/Platform.h"
#include "image/OpenedImage.h"

namespace slamwise {

UndoKeys::UndoKeys(QWidget* window, OpenedImage& image, MessageBoxes& messages,
                   std::function<void()> shown)
    : QObject(window),
      window_(window),
      image_(image),
      messages_(messages),
      shown_(std::move(shown)),
      mark_(image.history().mark()) {
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
    const History& history = image_.history();
    if (undo ? !history.canUndoSince(mark_) : !history.canRedoSince(mark_)) {
        return;
    }
    const Status status = undo ? image_.undo() : image_.redo();
    shown_();
    if (!status) {
        messages_.show(window_, MessageBoxes::Icon::Critical, window_->windowTitle(),
                       undo ? QStringLiteral("The change could not be undone.")
                            : QStringLiteral("The change could not be redone."),
                       QString::fromStdString(status.message()));
    }
}

}  // namespace slamwise
