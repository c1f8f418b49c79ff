#include "app/MainWindow.h"

#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QTime>
#include <QVBoxLayout>
#include <filesystem>

#include "about/AboutDialog.h"
#include "cheats/CheatsDialog.h"
#include "patch/PatchFile.h"
#include "platform/ShownText.h"
#include "player/PlayerEditor.h"
#include "game/Checksum.h"
#include "Version.h"
#include "roster/RosterEditor.h"

namespace slamwise {

const QString MainWindow::kDesignCaption =
    QStringLiteral("Slamwise Player Editor (v0.00) - ROM NAME");

namespace {

const QString kLastFilePrefix = QStringLiteral("1: ");
const QString kNoRomLoaded = QStringLiteral(" - NO ROM LOADED");
const QString kCancelledText = QStringLiteral("So you want to load a ROM or what?");
const QString kMissingText = QStringLiteral(
    "The ROM you're trying to load was deleted, renamed, or moved and cannot be loaded.");
const QString kRefusalTitle = QStringLiteral("WTF");

// The entries of the open-file dialog; the second one is preselected.
const std::vector<FileTypeFilter> kFileFilters = {
    {QStringLiteral("All Files (*.*)"), QStringLiteral("*.*")},
    {QStringLiteral("All SNES ROM Files (*.swc, *.smc, *.sfc, *.fig)"),
     QStringLiteral("*.smc;*.swc;*.sfc;*.fig")},
    {QStringLiteral("Super MagiCom ROM File (*.smc)"), QStringLiteral("*.smc")},
    {QStringLiteral("Super Wild Card ROM File (*.swc)"), QStringLiteral("*.swc")},
    {QStringLiteral("Super Famicom ROM File (*.sfc)"), QStringLiteral("*.sfc")},
    {QStringLiteral("Super UFO 8/Pro Fighter X ROM File (*.fig)"), QStringLiteral("*.fig")},
};
constexpr int kPreselectedFilter = 1;

QAction* menuEntry(QMenu* menu, const char* name, const QString& caption,
                   const QKeySequence& shortcut = {}) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    return action;
}

void addSeparator(QMenu* menu, const char* name) {
    menu->addSeparator()->setObjectName(QString::fromLatin1(name));
}

// True only when nothing is at path any more. A path that cannot be looked at (no permission
// on one of its folders) is not gone.
bool isGone(const QString& path) {
    std::error_code error;
    return std::filesystem::status(path.toStdString(), error).type() ==
           std::filesystem::file_type::not_found;
}

// The one local file being dragged; empty for anything else.
QString draggedFile(const QMimeData* data) {
    if (data == nullptr || data->urls().size() != 1 || !data->urls().constFirst().isLocalFile()) {
        return {};
    }
    return data->urls().constFirst().toLocalFile();
}

}  // namespace

QString programCaption() {
    return QStringLiteral("Slamwise Player Editor (v%1)")
        .arg(QString::fromStdString(versionText()));
}

MainWindow::MainWindow(Platform platform, QString programFolder, QWidget* parent)
    : QMainWindow(parent),
      platform_(platform),
      settings_(platform.settings),
      programFolder_(std::move(programFolder)),
      names_(defaultNames()) {
    setObjectName(QStringLiteral("Main"));
    setWindowTitle(kDesignCaption);
    setAcceptDrops(true);
    createMenus();
    createEditMenu();
    createCentralWidget();
}

MainWindow::~MainWindow() = default;

void MainWindow::createMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    mnuOpen_ =
        menuEntry(file, "mnuOpen", QStringLiteral("&Open ROM"), QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuClose_ = menuEntry(file, "mnuClose", QStringLiteral("C&lose ROM"),
                          QKeySequence(Qt::CTRL | Qt::Key_L));
    mnuSave_ =
        menuEntry(file, "mnuSave", QStringLiteral("&Save ROM"), QKeySequence(Qt::CTRL | Qt::Key_S));
    createChecksumEntries(file);
    addSeparator(file, "mnusep1");
    mnuLastFile_ = menuEntry(file, "mnuLastFile", kLastFilePrefix);
    addSeparator(file, "mnuSep2");
    mnuExit_ =
        menuEntry(file, "mnuExit", QStringLiteral("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_X));

    QMenu* stuff = menuBar()->addMenu(QStringLiteral("S&tuff"));
    stuff->setObjectName(QStringLiteral("mnuStuff"));
    mnuCheats_ = menuEntry(stuff, "mnuCheats", QStringLiteral("&Cheat Codes"));
    // Two places kept for features to come; they stay disabled.
    menuEntry(stuff, "mnuFeature2", QStringLiteral("Dummy"))->setEnabled(false);
    menuEntry(stuff, "mnuFeature3", QStringLiteral("Dummy"))->setEnabled(false);

    QMenu* info = menuBar()->addMenu(QStringLiteral("&Information"));
    info->setObjectName(QStringLiteral("mnuInfo"));
    mnuHomepage_ = menuEntry(info, "mnuHomepage", QUrl(AboutDialog::kHomePage).host(),
                             QKeySequence(Qt::Key_F12));
    addSeparator(info, "mnuSep3");
    mnuAbout_ = menuEntry(info, "mnuAbout", QStringLiteral("&About"), QKeySequence(Qt::Key_F1));

    mnuClose_->setEnabled(false);
    mnuSave_->setEnabled(false);
    mnuCheats_->setEnabled(false);
    mnuLastFile_->setEnabled(false);

    connect(mnuOpen_, &QAction::triggered, this, &MainWindow::mnuOpen_Click);
    connect(mnuClose_, &QAction::triggered, this, &MainWindow::CloseROM);
    connect(mnuSave_, &QAction::triggered, this, &MainWindow::mnuSave_Click);
    connect(mnuLastFile_, &QAction::triggered, this, &MainWindow::mnuLastFile_Click);
    connect(mnuExit_, &QAction::triggered, this, &MainWindow::endProgram);
    connect(mnuCheats_, &QAction::triggered, this, &MainWindow::mnuCheats_Click);
    connect(mnuHomepage_, &QAction::triggered, this, &MainWindow::mnuHomepage_Click);
    connect(mnuAbout_, &QAction::triggered, this, &MainWindow::mnuAbout_Click);
}

void MainWindow::createCentralWidget() {
    auto* central = new QWidget(this);
    playerEditor_ = new PlayerEditor(platform_, names_, central);
    regionLabel_ = new QLabel(QStringLiteral("000"), central);
    regionLabel_->setObjectName(QStringLiteral("RegionLBL"));
    regionLabel_->hide();  // holds the release code; never shown

    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(playerEditor_);
    setCentralWidget(central);
    statusBar()->setObjectName(QStringLiteral("StatusBar"));

    connect(playerEditor_, &PlayerEditor::rosterEditorRequested, this,
            &MainWindow::TeamEditCMD_Click);
    connect(playerEditor_, &PlayerEditor::quitRequested, this, &MainWindow::endProgram);
}

QString MainWindow::releaseCode() const {
    return regionLabel_->text();
}

void MainWindow::Form_Load() {
    LoadROM();
    updateLastFileEntry();
}

void MainWindow::Form_Load(const QString& imagePath) {
    openImage(QFileInfo(imagePath).absoluteFilePath(), OpenPath::Dialog);
    updateLastFileEntry();
}

// ---- Opening ------------------------------------------------------------------------------

void MainWindow::mnuOpen_Click() {
    LoadROM();
    updateLastFileEntry();
}

void MainWindow::mnuLastFile_Click() {
    QuickLoad();
    updateLastFileEntry();
}

void MainWindow::LoadROM() {
    std::optional<QString> chosen =
        platform_.files.openFile(this, kFileFilters, kPreselectedFilter);
    if (!chosen) {
        refuseOpening(OpenPath::Dialog);
        return;
    }
    openImage(*chosen, OpenPath::Dialog);
}

void MainWindow::QuickLoad() {
    QString path = settings_.lastFile();
    if (path.isEmpty() || isGone(path)) {
        refuseOpening(OpenPath::RememberedFile);
        return;
    }
    openImage(path, OpenPath::RememberedFile);
}

void MainWindow::openImage(const QString& path, OpenPath via) {
    Result<OpenedImage> opened = OpenedImage::open(path.toStdString(), RomFile::Access::ReadWrite);
    if (!opened) {
        refuseOpening(via, QString::fromStdString(opened.error()));
        return;
    }
    auto image = std::make_unique<OpenedImage>(std::move(opened).value());
    if (!image->notice().empty()) {
        platform_.messages.show(this, MessageBoxes::Icon::Information, programCaption(),
                                QString::fromStdString(image->notice()));
    }

    playerEditor_->ClearRelocationFlag();

    switch (image->refusal()) {
        case Refusal::None:
            break;
        case Refusal::Unreadable:
            refuseOpening(via, QString::fromStdString(image->verdict().message()));
            return;
        case Refusal::FirstByteZero:
            refuseOpening(via);
            return;
        case Refusal::UnknownRelease:
            refuseUnknownImage(*image);
            if (via == OpenPath::RememberedFile) {
                settings_.forgetLastFile();
            }
            return;
    }

    image_ = std::move(image);
    image_->onHistoryChange([this] { updateEditMenu(); });
    useNamesFor(path);
    if (via == OpenPath::Dialog) {
        settings_.setLastFile(path);
    }
    playerEditor_->setImage(image_.get());
    watchWrites();
    switchEditingControlsOn();
    if (via == OpenPath::RememberedFile) {
        setMainAndRosterCaption(programCaption());
    }
    if (image_->rom().hasCopierHeader()) {
        statusBar()->showMessage(
            QStringLiteral("This image starts with a 512-byte copier header; "
                           "the editor skips it and leaves it as it is."));
    } else {
        statusBar()->clearMessage();
    }
    LoadROMIName(*image_->identification());
    if (Status players = image_->allows(Table::Players); !image_->shutOff() && !players) {
        // A file too short for its player table: the player editor is switched off all the same.
        platform_.messages.show(this, MessageBoxes::Icon::Exclamation, programCaption(),
                                QStringLiteral("The player data of this file cannot be edited."),
                                QString::fromStdString(players.message()));
        playerEditor_->switchOff();
        mnuSave_->setEnabled(false);
    }
    playerEditor_->CheckRelocatedData();
    playerEditor_->SelectFirstPlayer();
    focusPlayerList();
}

void MainWindow::useNamesFor(const QString& imagePath) {
    NamesFile file = namesForImage(imagePath.toStdString());
    if (!file.problems.empty()) {
        QStringList problems;
        for (const std::string& problem : file.problems) {
            problems << QString::fromStdString(problem);
        }
        platform_.messages.show(
            this, MessageBoxes::Icon::Exclamation, programCaption(),
            QStringLiteral("The names file beside this image has mistakes, so the editor shows "
                           "its own placeholder names for the lines it cannot read."),
            problems.join(QLatin1Char('\n')));
    }
    names_ = std::move(file.names);
    playerEditor_->setNames(names_);
}

void MainWindow::refuseOpening(OpenPath via, const QString& details) {
    if (via == OpenPath::Dialog) {
        platform_.messages.show(this, MessageBoxes::Icon::Question, kRefusalTitle, kCancelledText,
                                details);
    } else {
        platform_.messages.show(this, MessageBoxes::Icon::Question, kRefusalTitle, kMissingText,
                                details);
        QString path = settings_.lastFile();
        // A remembered file that still exists but cannot be opened (locked, read-only, a folder
        // without permission) stays remembered: it is not gone, and the user may try again.
        bool stillThere = !path.isEmpty() && !isGone(path);
        if (!stillThere || details.isEmpty()) {
            settings_.forgetLastFile();
        }
    }
    mnuClose_->setEnabled(false);
    mnuSave_->setEnabled(false);
}

void MainWindow::refuseUnknownImage(const OpenedImage& image) {
    platform_.messages.show(this, MessageBoxes::Icon::Exclamation,
                            QStringLiteral("Unknown ROM image"),
                            QString::fromStdString(image.verdict().message()) +
                                QStringLiteral(" The editor will not change it."));
    mnuClose_->setEnabled(false);
    mnuSave_->setEnabled(false);
}

void MainWindow::switchEditingControlsOn() {
    mnuClose_->setEnabled(true);
    mnuSave_->setEnabled(true);
    mnuCheats_->setEnabled(true);
    mnuOpen_->setEnabled(false);
    mnuLastFile_->setEnabled(false);
    playerEditor_->EnableEditingControls();
}

void MainWindow::LoadROMIName(const Identification& identification) {
    const ReleaseFacts& release = factsOf(identification.release);
    auto text = [](std::string_view view) {
        return QString::fromUtf8(view.data(), static_cast<qsizetype>(view.size()));
    };
    QString caption = programCaption() + QStringLiteral(" - ''") +
                      asCaptionText(QString::fromStdString(identification.title)) +
                      text(release.captionEnding);
    setMainAndRosterCaption(caption);
    cheatsCaption_ = caption;
    if (!release.playerData) {
        playerEditor_->ShutOffPlayerEditor();
        // No player data is ever written into such an image.
        mnuSave_->setEnabled(false);
    }
    if (!release.cheats) {
        mnuCheats_->setEnabled(false);
    }
    regionLabel_->setText(text(release.code));
}

void MainWindow::setMainAndRosterCaption(const QString& caption) {
    setWindowTitle(caption);
    rosterCaption_ = caption;
}

void MainWindow::updateLastFileEntry() {
    QString path = settings_.lastFile();
    mnuLastFile_->setText(kLastFilePrefix + asMenuText(path));
    mnuLastFile_->setEnabled(!path.isEmpty() && !romOpen());
}

void MainWindow::focusPlayerList() {
    if (isVisible()) {
        raise();
        activateWindow();
    }
    playerEditor_->focusPlayerList();
}

bool MainWindow::acceptsDroppedImage() {
    if (romOpen()) {
        statusBar()->showMessage(
            QStringLiteral("An image is open: close it (File > Close ROM) to open another."), 5000);
        return false;
    }
    return true;
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!draggedFile(event->mimeData()).isEmpty() && acceptsDroppedImage()) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    QString path = draggedFile(event->mimeData());
    if (path.isEmpty() || !acceptsDroppedImage()) {
        return;
    }
    event->acceptProposedAction();
    openImage(path, OpenPath::Dialog);
    updateLastFileEntry();
}

// ---- Undo and redo --------------------------------------------------------------------------

void MainWindow::createEditMenu() {
    auto* edit = new QMenu(QStringLiteral("&Edit"), this);
    edit->setObjectName(QStringLiteral("mnuEdit"));
    // After the File menu.
    auto* stuff = menuBar()->findChild<QMenu*>(QStringLiteral("mnuStuff"));
    menuBar()->insertMenu(stuff != nullptr ? stuff->menuAction() : nullptr, edit);
    mnuUndo_ = menuEntry(edit, "mnuUndo", QStringLiteral("Undo"), QKeySequence::Undo);
    mnuRedo_ = menuEntry(edit, "mnuRedo", QStringLiteral("Redo"), QKeySequence::Redo);
    for (QAction* action : {mnuUndo_, mnuRedo_}) {
        // A focused text box keeps these keys for its own typing.
        action->setShortcutContext(Qt::WindowShortcut);
    }
    connect(mnuUndo_, &QAction::triggered, this, [this] { undoOrRedo(true); });
    connect(mnuRedo_, &QAction::triggered, this, [this] { undoOrRedo(false); });
    updateEditMenu();
}

void MainWindow::updateEditMenu() {
    const History* history = image_ ? &image_->history() : nullptr;
    const bool canUndo = history != nullptr && history->canUndo();
    const bool canRedo = history != nullptr && history->canRedo();
    mnuUndo_->setText(canUndo
                          ? QStringLiteral("Undo ") + QString::fromStdString(history->undoLabel())
                          : QStringLiteral("Undo"));
    mnuRedo_->setText(canRedo
                          ? QStringLiteral("Redo ") + QString::fromStdString(history->redoLabel())
                          : QStringLiteral("Redo"));
    mnuUndo_->setEnabled(canUndo);
    mnuRedo_->setEnabled(canRedo);
}

void MainWindow::undoOrRedo(bool undo) {
    if (!image_) {
        return;
    }
    const Status status = undo ? image_->undo() : image_->redo();
    playerEditor_->showSelectedPlayer();
    if (!status) {
        platform_.messages.show(this, MessageBoxes::Icon::Critical, windowTitle(),
                                undo ? QStringLiteral("The change could not be undone.")
                                     : QStringLiteral("The change could not be redone."),
                                QString::fromStdString(status.message()));
    }
}

// ---- Closing, saving, ending ----------------------------------------------------------------

void MainWindow::CloseROM() {
    if (!image_) {
        return;
    }
    QString path = QString::fromStdString(image_->path());
    setMainAndRosterCaption(programCaption() + kNoRomLoaded);
    settings_.setLastFile(path);
    mnuLastFile_->setText(kLastFilePrefix + asMenuText(path));
    playerEditor_->ResetAfterClose();
    mnuClose_->setEnabled(false);
    mnuSave_->setEnabled(false);
    mnuOpen_->setEnabled(true);
    mnuLastFile_->setEnabled(true);
    mnuCheats_->setEnabled(false);
    image_.reset();
    updateEditMenu();  // the history went with the image
    statusBar()->clearMessage();
    showChecksumState();
}

void MainWindow::mnuSave_Click() {
    if (image_ && !playerEditor_->shutOff()) {
        playerEditor_->SavePlayer();
    }
}

void MainWindow::SaveREG() {
    if (settings_.firstRunRecorded()) {
        return;
    }
    QLocale locale = QLocale::system();
    settings_.recordFirstRun(programFolder_, playerEditor_->relocated(),
                             QStringLiteral("v") + QString::fromStdString(versionText()),
                             locale.toString(QDate::currentDate(), QLocale::ShortFormat) +
                                 QStringLiteral(", ") +
                                 locale.toString(QTime::currentTime(), QLocale::ShortFormat));
}

void MainWindow::endProgram() {
    if (ended_) {
        return;
    }
    ended_ = true;
    SaveREG();
    playerEditor_->setImage(nullptr);
    image_.reset();
    close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    endProgram();
    event->accept();
}

// ---- Other windows ------------------------------------------------------------------------

void MainWindow::TeamEditCMD_Click() {
    if (!image_) {
        return;
    }
    RosterEditor dialog(*image_, platform_, names_, this);
    if (rosterCaption_) {
        dialog.setWindowTitle(*rosterCaption_);
    }
    dialog.exec();
    rosterCaption_.reset();
}

void MainWindow::mnuCheats_Click() {
    if (!image_) {
        return;
    }
    CheatsDialog dialog(*image_, platform_, this);
    if (cheatsCaption_) {
        dialog.setWindowTitle(*cheatsCaption_);
    }
    dialog.exec();
    cheatsCaption_.reset();
}

void MainWindow::mnuAbout_Click() {
    AboutDialog dialog(platform_.urls, this);
    dialog.exec();
}

void MainWindow::mnuHomepage_Click() {
    platform_.urls.open(QUrl(AboutDialog::kHomePage));
}

// ---- Checksum and patches ----------------------------------------------------------------

namespace {

const QString kOn = QStringLiteral("1");

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

}  // namespace

void MainWindow::createChecksumEntries(QMenu* file) {
    addSeparator(file, "mnuSepChecksum");
    mnuFixChecksum_ = menuEntry(file, "mnuFixChecksum", QStringLiteral("Fix Checksum"));
    mnuAutoFixChecksum_ =
        menuEntry(file, "mnuAutoFixChecksum", QStringLiteral("Fix Checksum After Every Change"));
    mnuAutoFixChecksum_->setCheckable(true);
    mnuAutoFixChecksum_->setChecked(platform_.settings.value(settings_keys::kFixChecksum) == kOn);
    mnuCreatePatch_ = menuEntry(file, "mnuCreatePatch", QStringLiteral("Create Patch..."));
    mnuApplyPatch_ = menuEntry(file, "mnuApplyPatch", QStringLiteral("Apply Patch..."));
    connect(mnuFixChecksum_, &QAction::triggered, this, &MainWindow::mnuFixChecksum_Click);
    connect(mnuAutoFixChecksum_, &QAction::toggled, this, &MainWindow::mnuAutoFixChecksum_Click);
    connect(mnuCreatePatch_, &QAction::triggered, this, &MainWindow::mnuCreatePatch_Click);
    connect(mnuApplyPatch_, &QAction::triggered, this, &MainWindow::mnuApplyPatch_Click);

    checksumLabel_ = new QLabel(this);
    checksumLabel_->setObjectName(QStringLiteral("ChecksumLBL"));
    statusBar()->addPermanentWidget(checksumLabel_);
    showChecksumState();
}

void MainWindow::watchWrites() {
    image_->setFixChecksum(mnuAutoFixChecksum_->isChecked());
    image_->setWriteListener([this] { showChecksumState(); });
    showChecksumState();
}

void MainWindow::showChecksumState() {
    Result<ChecksumState> state =
        image_ ? checksumOf(image_->rom()) : Result<ChecksumState>(Status::failure("no image"));
    checksumLabel_->setText(!state           ? QString()
                            : state->valid() ? QStringLiteral("Checksum valid")
                                             : QStringLiteral("Checksum stale"));
    mnuFixChecksum_->setEnabled(state && !state->valid());
    mnuCreatePatch_->setEnabled(image_ != nullptr);
    mnuApplyPatch_->setEnabled(image_ != nullptr);
}

void MainWindow::mnuAutoFixChecksum_Click(bool on) {
    platform_.settings.setValue(settings_keys::kFixChecksum, on ? kOn : QStringLiteral("0"));
    if (image_) {
        image_->setFixChecksum(on);
    }
}

void MainWindow::mnuFixChecksum_Click() {
    if (!image_) {
        return;
    }
    Edit edit;
    Status status = addChecksumFix(image_->rom(), edit);
    if (status) {
        status = image_->apply(edit, "Fix Checksum");
    }
    if (!status) {
        platform_.messages.show(this, MessageBoxes::Icon::Critical, programCaption(),
                                QStringLiteral("The checksum could not be fixed."),
                                text(status.message()));
    }
}

void MainWindow::mnuCreatePatch_Click() {
    if (!image_) {
        return;
    }
    std::optional<QString> original =
        platform_.files.openFile(this, kFileFilters, kPreselectedFilter);
    if (!original) {
        return;
    }
    std::optional<QString> patchPath = platform_.files.saveFile(this, kPatchFilters, 1);
    if (!patchPath) {
        return;
    }
    auto written = [&]() -> Result<CreatedPatch> {
        Result<PatchFormat> format = patchFormatFor(patchPath->toStdString());
        if (!format) {
            return format.status();
        }
        Result<OpenedImage> unedited =
            OpenedImage::open(original->toStdString(), RomFile::Access::ReadOnly);
        if (!unedited) {
            return unedited.status();
        }
        Result<CreatedPatch> patch = createPatchBetween(*format, unedited->rom(), image_->rom());
        if (!patch) {
            return patch;
        }
        Status status = writePatchFile(patchPath->toStdString(), patch->bytes,
                                       {original->toStdString(), image_->path()});
        return status ? patch : Result<CreatedPatch>(status);
    }();
    if (!written) {
        platform_.messages.show(this, MessageBoxes::Icon::Critical, programCaption(),
                                QStringLiteral("The patch was not written."),
                                text(written.error()));
        return;
    }
    QStringList notes;
    for (const std::string& note : written->notes) {
        notes << text(note);
    }
    platform_.messages.show(this, MessageBoxes::Icon::Information, programCaption(),
                            QStringLiteral("The patch was written to %1.").arg(*patchPath),
                            notes.join(QLatin1Char('\n')));
}

void MainWindow::mnuApplyPatch_Click() {
    if (!image_) {
        return;
    }
    std::optional<QString> patchPath = platform_.files.openFile(this, kPatchOpenFilters, 0);
    if (!patchPath) {
        return;
    }
    Result<PatchResult> patch = patchFileFor(image_->rom(), patchPath->toStdString());
    Status status = patch ? image_->apply(patch->edit, "Apply Patch") : patch.status();
    if (!status) {
        platform_.messages.show(this, MessageBoxes::Icon::Critical, programCaption(),
                                QStringLiteral("The patch was not applied."),
                                text(status.message()));
        return;
    }
    // The patch may have changed anything: the image is opened again and every value read
    // afresh, with the same player selected and the patch still to be undone.
    auto* list = playerEditor_->findChild<QListWidget*>(QStringLiteral("PlayerLST"));
    const int row = list != nullptr ? list->currentRow() : -1;
    const QString path = text(image_->path());
    History history = image_->history();
    CloseROM();
    openImage(path, OpenPath::Dialog);
    if (image_) {
        image_->adoptHistory(std::move(history));
    }
    updateLastFileEntry();
    if (image_ && list != nullptr && row >= 0 && row < list->count()) {
        list->setCurrentRow(row);
    }
    platform_.messages.show(
        this, MessageBoxes::Icon::Information, programCaption(),
        QStringLiteral("The patch changed %1 byte(s).").arg(patch->changedBytes),
        text(patch->note));
}

}  // namespace slamwise
