// diff, patch show, and the changes a dry run lists: what one image is to another, in the game's
// terms.

#include <nlohmann/json.hpp>

#include "cli/Commands.h"
#include "image/Changes.h"
#include "patch/PatchFile.h"
#include "storage/FileIo.h"

namespace slamwise::cli {

namespace {

using Json = nlohmann::ordered_json;

Json jsonOf(const FieldValue& value) {
    return std::visit([](const auto& shown) { return Json(shown); }, value);
}

// The fields of each kind, named as the export's columns where the export has them.
Json jsonOf(const Change& change) {
    Json object = {{"kind", nameOf(change.kind)}};
    switch (change.kind) {
        case ChangeKind::Player:
        case ChangeKind::Visual:
            object["index"] = change.index;
            object["name"] = change.name;
            object["field"] = change.field;
            break;
        case ChangeKind::Roster:
            object["team"] = change.team;
            object["slot"] = change.slot;
            if (change.position == 0) {
                object["field"] = change.field;
            } else {
                object["position"] = change.position;
            }
            break;
        case ChangeKind::Cheat:
            object["name"] = change.name;
            break;
        case ChangeKind::Checksum:
            object["field"] = change.field;
            break;
        case ChangeKind::Relocation:
            break;
        case ChangeKind::Bytes:
            object["offset"] = change.offset;
            object["length"] = change.length;
            return object;
    }
    object["before"] = jsonOf(change.before);
    if (change.kind == ChangeKind::Roster && change.position != 0) {
        object["before_name"] = change.beforeName;
    }
    object["after"] = jsonOf(change.after);
    if (change.kind == ChangeKind::Roster && change.position != 0) {
        object["after_name"] = change.afterName;
    }
    return object;
}

// One line per change; JSON: an array with one object a line. Nothing at all for no changes.
void printChanges(Io io, const std::vector<Change>& changes, bool json) {
    if (changes.empty()) {
        return;
    }
    if (!json) {
        for (const Change& change : changes) {
            io.out << describe(change) << "\n";
        }
        return;
    }
    io.out << "[";
    for (std::size_t i = 0; i < changes.size(); ++i) {
        io.out << (i == 0 ? "\n  " : ",\n  ")
               << jsonOf(changes[i]).dump(-1, ' ', false, Json::error_handler_t::replace);
    }
    io.out << "\n]\n";
}

// An image that a comparison can read: opened for reading, not refused.
Result<OpenedImage> comparable(Io io, const std::string& path) {
    Result<OpenedImage> image = openImage(io, path, RomFile::Access::ReadOnly);
    if (image && !image->verdict()) {
        return image->verdict();
    }
    return image;
}

}  // namespace

int diffImages(Io io, const DiffOptions& options) {
    Result<OpenedImage> before = comparable(io, options.before);
    if (!before) {
        return fail(io, before.error());
    }
    Result<OpenedImage> after = comparable(io, options.after);
    if (!after) {
        return fail(io, after.error());
    }
    if (Status status = canCompare(*before, *after); !status) {
        return fail(io, status.message());
    }
    Result<GameNames> names = namesFor(io, options.before, options.names, {NameKind::Player});
    if (!names) {
        return fail(io, names.error());
    }
    Result<std::vector<std::uint8_t>> old = readImage(before->rom());
    Result<std::vector<std::uint8_t>> now = old ? readImage(after->rom()) : old;
    if (!now) {
        return fail(io, now.error());
    }
    printChanges(io, gameChangesBetween(*old, *now, before->facts().release, *names), options.json);
    return kExitSuccess;
}

int showPatch(Io io, const std::string& imagePath, const std::string& patchPath, bool json) {
    // The checks of "patch apply", on an image opened for reading.
    Result<OpenedImage> image = openImage(io, imagePath, RomFile::Access::ReadOnly);
    if (!image) {
        return refuse(io, image.error());
    }
    if (!image->verdict()) {
        return refuse(io, image->verdict().message());
    }
    Result<PatchResult> patch = patchFileFor(image->rom(), patchPath);
    if (!patch) {
        return refuse(io, patch.error());
    }
    if (!patch->note.empty()) {
        io.err << patch->note << "\n";
    }
    Result<GameNames> names = namesFor(io, imagePath, "", {NameKind::Player});
    if (!names) {
        return fail(io, names.error());
    }
    Result<std::vector<std::uint8_t>> bytes = readImage(image->rom());
    if (!bytes) {
        return fail(io, bytes.error());
    }
    printChanges(
        io,
        gameChangesBetween(*bytes, withEdit(*bytes, patch->edit), image->facts().release, *names),
        json);
    return kExitSuccess;
}

void printEditChanges(Io io, const OpenedImage& image, const Edit& edit) {
    if (!image.identification()) {
        return;
    }
    Result<std::vector<std::uint8_t>> bytes = readImage(image.rom());
    if (!bytes) {
        return;
    }
    printChanges(io,
                 gameChangesBetween(*bytes, withEdit(*bytes, edit), image.facts().release,
                                    namesForImage(image.path()).names),
                 false);
}

}  // namespace slamwise::cli
