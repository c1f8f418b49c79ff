#pragma once

#include <QObject>

#include "platform/Platform.h"

class QMainWindow;

namespace slamwise {

class ImageSession;
class Menus;

// Edit > Undo and Redo of the main window: they take back or write again the last change of the
// open image, whichever window made it. The views follow the session; a refusal or a failure is
// told in a message box.
class UndoActions : public QObject {
    Q_OBJECT
  public:
    UndoActions(QMainWindow* window, ImageSession& session, Platform platform, const Menus& menus);

  private:
    void step(bool undo);

    QMainWindow* window_;
    ImageSession& session_;
    Platform platform_;
};

}  // namespace slamwise
