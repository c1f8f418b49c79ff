// The rule of what can be compared, kept apart from the decoding of the changes.
#include "image/Changes.h"
#include "storage/Text.h"

namespace slamwise {

Status canCompare(const OpenedImage& before, const OpenedImage& after) {
    const ReleaseFacts& facts = before.facts();
    if (facts.release != after.facts().release) {
        return Status::failure(quoted(before.path()) + " is an image of the " +
                               std::string(facts.name) + " release and " + quoted(after.path()) +
                               " one of the " + std::string(after.facts().name) +
                               " release: only images of the same release can be compared.");
    }
    if (before.rom().imageSize() != after.rom().imageSize()) {
        return Status::failure(
            quoted(before.path()) + " holds " + std::to_string(before.rom().imageSize()) +
            " bytes and " + quoted(after.path()) + " " + std::to_string(after.rom().imageSize()) +
            " (without copier headers): only images of the same size can be "
            "compared.");
    }
    return {};
}

}  // namespace slamwise
