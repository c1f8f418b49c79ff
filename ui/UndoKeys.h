#pragma once

#include <QObject>
#include <cstdint>

class QWidget;

namespace slamwise {

class ImageSession;
class MessageBoxes;

// The undo keys of a modal window: Ctrl+Z takes back the last change made in this window,
// Ctrl+Shift+Z or Ctrl+Y writes it again. Changes made before the window opened stay out of
// reach. A refusal or a failure is told in a message box; the window follows the session for
// the rest.
class UndoKeys : public QObject {
  public:
    UndoKeys(QWidget* window, ImageSession& session, MessageBoxes& messages);

    void undo() { step(true); }
    void redo() { step(false); }

  private:
    void step(bool undo);

    QWidget* window_;
    ImageSession& session_;
    MessageBoxes& messages_;
    std::uint64_t mark_;  // the history entries made from here on belong to this window
};

// Takes back (undo) or writes again the session's last change; a failure is told in a message
// box over the window, under its caption.
void stepHistory(ImageSession& session, bool undo, QWidget* window, MessageBoxes& messages);

}  // namespace slamwise
