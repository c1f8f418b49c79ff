#include "player/RelocationAction.h"

#include <QCoreApplication>

#include "game/Relocation.h"

namespace slamwise {

namespace {

// Filler writes begin after the table copy and the eight pointer patches.
constexpr int kWritesBeforeFiller = 1 + static_cast<int>(kVisualPointerSites.size());

}  // namespace

std::optional<RelocationAction::Failure> RelocationAction::run(OpenedImage& image) {
    Result<Edit> edit = relocationEdit(image);
    if (!edit) {
        return Failure{QStringLiteral("The visual data could not be relocated."), edit.status()};
    }
    running_ = true;
    int written = 0;
    // User input waits until the end, so no click can start anything halfway through.
    const Status status = image.apply(*edit, "Relocation", [&written] {
        if (++written > kWritesBeforeFiller) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
    });
    running_ = false;
    if (!status) {
        return Failure{QStringLiteral("The relocation of the visual data stopped before it was "
                                      "complete. The visual data is not marked as relocated."),
                       status};
    }
    image.markRelocated();
    return std::nullopt;
}

}  // namespace slamwise
