#pragma once

#include <QString>
#include <optional>

#include "image/OpenedImage.h"
#include "storage/Result.h"

namespace slamwise {

// "Relocate Visual" in the player window: moves the visual table of the open image to its
// relocated place in one edit, keeping the window painted while the filler is written, and
// marks the image relocated when every write went through.
class RelocationAction {
  public:
    struct Failure {
        QString what;  // the message the user reads
        Status status;
    };

    // Nothing when the image is relocated now.
    std::optional<Failure> run(OpenedImage& image);
    // True while run is writing; nothing else may write then.
    bool running() const { return running_; }

  private:
    bool running_ = false;
};

}  // namespace slamwise
