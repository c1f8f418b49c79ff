#pragma once

#include <QObject>

#include "patch/Patch.h"
#include "platform/Platform.h"

class QMainWindow;

namespace slamwise {

class ImageSession;
class Menus;

// File > "Create Patch..." (from an unedited image to the open one), "Apply Patch..." (onto
// the open image, after a preview of its changes, through the session like every other write,
// so every view shows the result and Edit > Undo takes it back) and "Compare With..." (the
// changes from the open image to another one).
class PatchActions : public QObject {
    Q_OBJECT
  public:
    PatchActions(QMainWindow* window, ImageSession& session, Platform platform, const Menus& menus);

  private:
    void createPatch();
    void applyPatch();
    // Where an IPS patch lands on an image with a copier header: the user is asked.
    IpsOffsets ipsOffsetsFor(const QString& patchPath);
    void compare();
    void refuse(const QString& what, const Status& why);

    QMainWindow* window_;
    ImageSession& session_;
    Platform platform_;
};

}  // namespace slamwise
