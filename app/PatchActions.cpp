#include "app/PatchActions.h"

#include <QAction>
#include <QMainWindow>
#include <QStringList>

#include "app/ImageFiles.h"
#include "app/Menus.h"
#include "patch/PatchFile.h"
#include "ui/Caption.h"
#include "ui/ImageSession.h"

namespace slamwise {

namespace {

const std::vector<FileTypeFilter> kPatchFilters = {
    {QStringLiteral("IPS Patch (*.ips)"), QStringLiteral("*.ips")},
    {QStringLiteral("BPS Patch (*.bps)"), QStringLiteral("*.bps")},
};
const std::vector<FileTypeFilter> kPatchOpenFilters = {
    {QStringLiteral("Patch Files (*.ips, *.bps)"), QStringLiteral("*.ips;*.bps")},
    {QStringLiteral("All Files (*.*)"), QStringLiteral("*.*")},
};

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

// The patch from the unedited image at originalPath to the open image, written to patchPath.
Result<CreatedPatch> writePatch(const Session& edited, const std::string& originalPath,
                                const std::string& patchPath) {
    Result<PatchFormat> format = patchFormatFor(patchPath);
    if (!format) {
        return format.status();
    }
    Result<OpenedImage> unedited = OpenedImage::open(originalPath, RomFile::Access::ReadOnly);
    if (!unedited) {
        return unedited.status();
    }
    Result<CreatedPatch> patch = createPatchBetween(*format, unedited->rom(), edited.rom());
    if (!patch) {
        return patch;
    }
    Status status = writePatchFile(patchPath, patch->bytes, {originalPath, edited.path()});
    return status ? patch : Result<CreatedPatch>(status);
}

}  // namespace

PatchActions::PatchActions(QMainWindow* window, ImageSession& session, Platform platform,
                           const Menus& menus)
    : QObject(window), window_(window), session_(session), platform_(platform) {
    connect(menus.createPatch, &QAction::triggered, this, &PatchActions::createPatch);
    connect(menus.applyPatch, &QAction::triggered, this, &PatchActions::applyPatch);
}

void PatchActions::createPatch() {
    if (!session_.isOpen()) {
        return;
    }
    std::optional<QString> original =
        platform_.files.openFile(window_, kImageFileFilters, kPreselectedImageFilter);
    if (!original) {
        return;
    }
    std::optional<QString> patchPath = platform_.files.saveFile(window_, kPatchFilters, 1);
    if (!patchPath) {
        return;
    }
    Result<CreatedPatch> written =
        writePatch(session_.session(), original->toStdString(), patchPath->toStdString());
    if (!written) {
        platform_.messages.show(window_, MessageBoxes::Icon::Critical, programCaption(),
                                QStringLiteral("The patch was not written."),
                                text(written.error()));
        return;
    }
    QStringList notes;
    for (const std::string& note : written->notes) {
        notes << text(note);
    }
    platform_.messages.show(window_, MessageBoxes::Icon::Information, programCaption(),
                            QStringLiteral("The patch was written to %1.").arg(*patchPath),
                            notes.join(QLatin1Char('\n')));
}

void PatchActions::applyPatch() {
    if (!session_.isOpen()) {
        return;
    }
    std::optional<QString> patchPath = platform_.files.openFile(window_, kPatchOpenFilters, 0);
    if (!patchPath) {
        return;
    }
    Result<PatchResult> patch = patchFileFor(session_.image().rom(), patchPath->toStdString());
    Status status =
        patch ? session_.apply(writeEdit("Apply Patch", patch->edit)).status() : patch.status();
    if (!status) {
        platform_.messages.show(window_, MessageBoxes::Icon::Critical, programCaption(),
                                QStringLiteral("The patch was not applied."),
                                text(status.message()));
        return;
    }
    platform_.messages.show(
        window_, MessageBoxes::Icon::Information, programCaption(),
        QStringLiteral("The patch changed %1 byte(s).").arg(patch->changedBytes),
        text(patch->note));
}

}  // namespace slamwise
