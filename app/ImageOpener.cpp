#include "app/ImageOpener.h"

#include <QFileInfo>
#include <QStringList>
#include <filesystem>

#include "app/ImageFiles.h"
#include "ui/Caption.h"
#include "ui/ImageSession.h"

namespace slamwise {

namespace {

const QString kOpenTitle = QStringLiteral("Open ROM");
const QString kCancelledText = QStringLiteral("So you want to load a ROM or what?");
const QString kMissingText = QStringLiteral(
    "The ROM you're trying to load was deleted, renamed, or moved and cannot be loaded.");
const QString kRefusalTitle = QStringLiteral("WTF");

// True only when nothing is at path any more. A path that cannot be looked at (no permission
// on one of its folders) is not gone.
bool isGone(const QString& path) {
    std::error_code error;
    return std::filesystem::status(path.toStdString(), error).type() ==
           std::filesystem::file_type::not_found;
}

}  // namespace

ImageOpener::ImageOpener(QWidget* window, ImageSession& session, Platform platform,
                         UserSettings& settings)
    : window_(window), session_(session), platform_(platform), settings_(settings) {}

void ImageOpener::openChosen() {
    // The dialog starts in the folder of the image opened last.
    const QString last = settings_.lastFile();
    const QString folder = last.isEmpty() ? QString() : QFileInfo(last).absolutePath();
    std::optional<QString> chosen = platform_.files.openFile(
        window_, {kOpenTitle, kImageFileFilters, kPreselectedImageFilter, folder});
    if (!chosen) {
        refuse(Via::Dialog);
        return;
    }
    open(*chosen, Via::Dialog);
}

void ImageOpener::openRemembered() {
    QString path = settings_.lastFile();
    if (path.isEmpty() || isGone(path)) {
        refuse(Via::RememberedFile);
        return;
    }
    open(path, Via::RememberedFile);
}

void ImageOpener::open(const QString& path, Via via) {
    Result<OpenedImage> opened = OpenedImage::open(path.toStdString(), RomFile::Access::ReadWrite);
    if (!opened) {
        refuse(via, QString::fromStdString(opened.error()));
        return;
    }
    if (!opened->notice().empty()) {
        platform_.messages.show(window_, MessageBoxes::Icon::Information, programCaption(),
                                QString::fromStdString(opened->notice()));
    }
    switch (opened->refusal()) {
        case Refusal::None:
            break;
        case Refusal::Unreadable:
        case Refusal::TooShort:
            refuse(via, QString::fromStdString(opened->verdict().message()));
            return;
        case Refusal::FirstByteZero:
            refuse(via);
            return;
        case Refusal::UnknownRelease:
            platform_.messages.show(window_, MessageBoxes::Icon::Exclamation,
                                    QStringLiteral("Unknown ROM image"),
                                    QString::fromStdString(opened->verdict().message()) +
                                        QStringLiteral(" The editor will not change it."));
            if (via == Via::RememberedFile) {
                settings_.forgetLastFile();
            }
            return;
    }
    useNamesFor(path);
    if (via == Via::Dialog) {
        settings_.setLastFile(path);
    }
    const std::vector<std::string> cutOff = opened->cutOffNotes();
    const bool playerData = opened->shutOff() || opened->allows(Table::Players);
    session_.open(Session(std::move(opened).value()));
    if (!cutOff.empty()) {
        // What the file does not hold is switched off; this says why, once.
        QStringList notes;
        for (const std::string& note : cutOff) {
            notes << QString::fromStdString(note);
        }
        platform_.messages.show(
            window_, MessageBoxes::Icon::Exclamation, programCaption(),
            playerData ? QStringLiteral("Parts of this file cannot be edited.")
                       : QStringLiteral("The player data of this file cannot be edited."),
            notes.join(QLatin1Char('\n')));
    }
}

void ImageOpener::useNamesFor(const QString& imagePath) {
    NamesFile file = namesForImage(imagePath.toStdString());
    if (!file.problems.empty()) {
        QStringList problems;
        for (const std::string& problem : file.problems) {
            problems << QString::fromStdString(problem);
        }
        platform_.messages.show(
            window_, MessageBoxes::Icon::Exclamation, programCaption(),
            QStringLiteral("The names file beside this image has mistakes, so the editor shows "
                           "its own placeholder names for the lines it cannot read."),
            problems.join(QLatin1Char('\n')));
    }
    session_.setNames(std::move(file.names));
}

void ImageOpener::refuse(Via via, const QString& details) {
    if (via == Via::Dialog) {
        platform_.messages.show(window_, MessageBoxes::Icon::Question, kRefusalTitle,
                                kCancelledText, details);
        return;
    }
    platform_.messages.show(window_, MessageBoxes::Icon::Question, kRefusalTitle, kMissingText,
                            details);
    QString path = settings_.lastFile();
    // A remembered file that still exists but cannot be opened (locked, read-only, a folder
    // without permission) stays remembered: it is not gone, and the user may try again.
    bool stillThere = !path.isEmpty() && !isGone(path);
    if (!stillThere || details.isEmpty()) {
        settings_.forgetLastFile();
    }
}

}  // namespace slamwise
