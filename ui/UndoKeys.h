#pragma once

#include <QObject>
#include <cstdint>
#include <functional>

class QWidget;

namespace slamwise {

class MessageBoxes;
class OpenedImage;

// The undo keys of a modal window: Ctrl+Z takes back the last change made in this window,
// Ctrl+Shift+Z or Ctrl+Y writes it again. Changes made before the window opened stay out of
// reach. After a step, shown() refreshes what the window shows from the file; a refusal or a
// failure is told in a message box.
class UndoKeys : public QObject {
  public:
    UndoKeys(QWidget* window, OpenedImage& image, MessageBoxes& messages,
             std::function<void()> shown);

    void undo() { step(true); }
    void redo() { step(false); }

  private:
    void step(bool undo);

    QWidget* window_;
    OpenedImage& image_;
    MessageBoxes& messages_;
    std::function<void()> shown_;
    std::uint64_t mark_;  // the history entries made from here on belong to this window
};

}  // namespace slamwise
