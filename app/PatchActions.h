#pragma once

#include <QObject>

#include "platform/Platform.h"

class QMainWindow;

namespace slamwise {

class ImageSession;
class Menus;

// File > "Create Patch..." (from an unedited image to the open one) and "Apply Patch..." (onto
// the open image, through the session like every other write, so every view shows the result
// and Edit > Undo takes it back).
class PatchActions : public QObject {
    Q_OBJECT
  public:
    PatchActions(QMainWindow* window, ImageSession& session, Platform platform, const Menus& menus);

  private:
    void createPatch();
    void applyPatch();

    QMainWindow* window_;
    ImageSession& session_;
    Platform platform_;
};

}  // namespace slamwise
