#include "app/PatchActions.h"

#include <QAction>
#include <QFile>
#include <QMainWindow>
#include <QStringList>
#include <initializer_list>

#include "app/ChangesWindow.h"
#include "app/ImageFiles.h"
#include "app/Menus.h"
#include "image/Changes.h"
#include "patch/PatchFile.h"
#include "ui/Caption.h"
#include "ui/ImageSession.h"

namespace slamwise {

namespace {

const QString kApplyPatchTitle = QStringLiteral("Apply Patch");
const QString kChooseUneditedTitle = QStringLiteral("Choose the Unedited Image");
const QString kSavePatchTitle = QStringLiteral("Save Patch As");
const QString kChoosePatchTitle = QStringLiteral("Choose the Patch to Apply");
const QString kCompareTitle = QStringLiteral("Choose the Image to Compare With");

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

// The lines that are not empty, one under the other.
QString lines(std::initializer_list<std::string> texts) {
    QStringList shown;
    for (const std::string& line : texts) {
        if (!line.empty()) {
            shown << text(line);
        }
    }
    return shown.join(QLatin1Char('\n'));
}

// Whether the file at path starts as an IPS patch does; unreadable files are left to the patch
// reader, which says why.
bool isIpsPatch(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray start = file.read(8);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(start.constData());
    Result<PatchFormat> format = patchFormatOf({bytes, static_cast<std::size_t>(start.size())});
    return format && *format == PatchFormat::Ips;
}

// What the edit changes in the open image, in the game's terms.
Result<std::vector<Change>> changesOf(const ImageSession& session, const Edit& edit) {
    Result<std::vector<std::uint8_t>> bytes = readImage(session.image().rom());
    if (!bytes) {
        return bytes.status();
    }
    return gameChangesBetween(*bytes, withEdit(*bytes, edit), session.image().facts().release,
                              session.names());
}

// What the open image is to the image at path, in the game's terms; refused for an image that
// cannot be opened or compared.
Result<std::vector<Change>> changesTo(const ImageSession& session, const std::string& path) {
    Result<OpenedImage> other = OpenedImage::open(path, RomFile::Access::ReadOnly);
    if (!other) {
        return other.status();
    }
    if (!other->verdict()) {
        return other->verdict();
    }
    if (Status status = canCompare(session.image(), *other); !status) {
        return status;
    }
    Result<std::vector<std::uint8_t>> before = readImage(session.image().rom());
    Result<std::vector<std::uint8_t>> after = before ? readImage(other->rom()) : before;
    if (!after) {
        return after.status();
    }
    return gameChangesBetween(*before, *after, session.image().facts().release, session.names());
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
    connect(menus.compare, &QAction::triggered, this, &PatchActions::compare);
}

void PatchActions::createPatch() {
    if (!session_.isOpen()) {
        return;
    }
    std::optional<QString> original = platform_.files.openFile(
        window_, {kChooseUneditedTitle, kImageFileFilters, kPreselectedImageFilter, {}});
    if (!original) {
        return;
    }
    std::optional<QString> patchPath =
        platform_.files.saveFile(window_, {kSavePatchTitle, kPatchFilters, 1, {}});
    if (!patchPath) {
        return;
    }
    Result<CreatedPatch> written =
        writePatch(session_.session(), original->toStdString(), patchPath->toStdString());
    if (!written) {
        return refuse(QStringLiteral("The patch was not written."), written.status());
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
    std::optional<QString> patchPath =
        platform_.files.openFile(window_, {kChoosePatchTitle, kPatchOpenFilters, 0, {}});
    if (!patchPath) {
        return;
    }
    Result<PatchResult> patch =
        patchFileFor(session_.image().rom(), patchPath->toStdString(), ipsOffsetsFor(*patchPath));
    Result<std::vector<Change>> changes =
        patch ? changesOf(session_, patch->edit) : Result<std::vector<Change>>(patch.status());
    if (!changes) {
        return refuse(QStringLiteral("The patch was not applied."), changes.status());
    }
    const QString told = lines({patch->note, patch->warning});
    ChangesWindow preview(ChangesWindow::Purpose::ApplyPatch, *changes, told, window_);
    if (preview.exec() != QDialog::Accepted) {
        return;
    }
    if (Status status = session_.apply(writeEdit("Apply Patch", patch->edit)).status(); !status) {
        return refuse(QStringLiteral("The patch was not applied."), status);
    }
    platform_.messages.show(
        window_, MessageBoxes::Icon::Information, programCaption(),
        QStringLiteral("The patch changed %1 byte(s).").arg(patch->changedBytes), told);
}

IpsOffsets PatchActions::ipsOffsetsFor(const QString& patchPath) {
    const RomFile& rom = session_.image().rom();
    if (!rom.hasCopierHeader() || !isIpsPatch(patchPath)) {
        return IpsOffsets::Image;
    }
    const bool imageOffsets = platform_.messages.askYesNo(
        window_, kApplyPatchTitle,
        QStringLiteral("This image starts with a %1-byte copier header. Do the offsets of the "
                       "IPS patch count from the start of the image, after the header?\n\n"
                       "Yes: a patch made from an image without a header (the usual case).\n"
                       "No: a patch made from an image with its header; its offsets count "
                       "from the start of the file.")
            .arg(rom.headerSize()));
    return imageOffsets ? IpsOffsets::Image : IpsOffsets::File;
}

void PatchActions::compare() {
    if (!session_.isOpen()) {
        return;
    }
    std::optional<QString> other = platform_.files.openFile(
        window_, {kCompareTitle, kImageFileFilters, kPreselectedImageFilter, {}});
    if (!other) {
        return;
    }
    Result<std::vector<Change>> changes = changesTo(session_, other->toStdString());
    if (!changes) {
        return refuse(QStringLiteral("The images cannot be compared."), changes.status());
    }
    ChangesWindow(ChangesWindow::Purpose::Compare, *changes, {}, window_).exec();
}

void PatchActions::refuse(const QString& what, const Status& why) {
    platform_.messages.show(window_, MessageBoxes::Icon::Critical, programCaption(), what,
                            text(why.message()));
}

}  // namespace slamwise
