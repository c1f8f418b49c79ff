#pragma once

#include <QObject>
#include <optional>

#include "game/Checksum.h"
#include "platform/Platform.h"

class QLabel;
class QMainWindow;

namespace slamwise {

class ImageSession;
class Menus;

// File > "Fix Checksum" and "Fix Checksum After Every Change", and the checksum's state in the
// status bar, read again whenever the image is opened, written or closed.
class ChecksumActions : public QObject {
    Q_OBJECT
  public:
    ChecksumActions(QMainWindow* window, ImageSession& session, Platform platform,
                    const Menus& menus);

    // Whether the open image's checksum does not match its bytes (false without an image, or
    // when it cannot be read).
    bool stale() const { return state_ && !state_->valid(); }

  private:
    void showState();
    void fix();
    void setAutoFix(bool on);

    QMainWindow* window_;
    ImageSession& session_;
    Platform platform_;
    QLabel* label_ = nullptr;
    std::optional<ChecksumState> state_;
};

}  // namespace slamwise
