#pragma once

#include <QString>

#include "platform/Platform.h"
#include "platform/UserSettings.h"

class QWidget;

namespace slamwise {

class ImageSession;

// Opening an image the way the user asked: through the open-file dialog (or a drop, or the
// command line) or through the remembered last file. What opening finds is told first (an
// unfinished change undone); each refusal is told in its message box and leaves no image open;
// an image that is taken goes into the session with the names of the names file beside it.
class ImageOpener {
  public:
    enum class Via { Dialog, RememberedFile };

    ImageOpener(QWidget* window, ImageSession& session, Platform platform, UserSettings& settings);

    // The open-file dialog, started in the folder of the image opened last.
    void openChosen();
    void openRemembered();
    void open(const QString& path, Via via);

  private:
    void refuse(Via via, const QString& details = {});
    void useNamesFor(const QString& imagePath);

    QWidget* window_;
    ImageSession& session_;
    Platform platform_;
    UserSettings& settings_;
};

}  // namespace slamwise
