#include "app/MainWindow.h"

#include <QCloseEvent>
#include <QDate>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QMimeData>
#include <QStatusBar>
#include <QTime>
#include <QVBoxLayout>
#include <filesystem>

#include "Version.h"
#include "about/AboutDialog.h"
#include "app/ChecksumActions.h"
#include "app/ImageFiles.h"
#include "app/LeagueActions.h"
#include "app/Menus.h"
#include "app/PatchActions.h"
#include "app/UndoActions.h"
#include "cheats/CheatsDialog.h"
#include "platform/ShownText.h"
#include "player/PlayerEditor.h"
#include "roster/RosterEditor.h"

namespace slamwise {

const QString MainWindow::kDesignCaption =
    QStringLiteral("Slamwise Player Editor (v0.00) - ROM NAME");

namespace {

const QString kNoRomLoaded = QStringLiteral(" - NO ROM LOADED");
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

// The one local file being dragged; empty for anything else.
QString draggedFile(const QMimeData* data) {
    if (data == nullptr || data->urls().size() != 1 || !data->urls().constFirst().isLocalFile()) {
        return {};
    }
    return data->urls().constFirst().toLocalFile();
}

QString text(std::string_view view) {
    return QString::fromUtf8(view.data(), static_cast<qsizetype>(view.size()));
}

}  // namespace

MainWindow::MainWindow(Platform platform, QString programFolder, QWidget* parent)
    : QMainWindow(parent),
      platform_(platform),
      settings_(platform.settings),
      programFolder_(std::move(programFolder)),
      session_(new ImageSession(this)) {
    setObjectName(QStringLiteral("Main"));
    setWindowTitle(kDesignCaption);
    setAcceptDrops(true);
    menus_ = new Menus(this);
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    // The window's own view of an opening comes before the player area's.
    connect(session_, &ImageSession::opened, this, &MainWindow::showOpenedImage);
    checksum_ = new ChecksumActions(this, *session_, platform_, *menus_);
    new UndoActions(this, *session_, platform_, *menus_);
    new PatchActions(this, *session_, platform_, *menus_);
    new LeagueActions(this, *session_, platform_, *menus_);
    createCentralWidget();
    connectMenus();
    for (auto signal : {&ImageSession::opened, &ImageSession::closed, &ImageSession::written,
                        &ImageSession::historyChanged}) {
        connect(session_, signal, this, &MainWindow::showMenuState);
    }
    showMenuState();
}

MainWindow::~MainWindow() = default;

void MainWindow::createCentralWidget() {
    auto* central = new QWidget(this);
    playerEditor_ = new PlayerEditor(*session_, platform_, central);
    regionLabel_ = new QLabel(QStringLiteral("000"), central);
    regionLabel_->setObjectName(QStringLiteral("RegionLBL"));
    regionLabel_->hide();  // holds the release code; never shown

    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(playerEditor_);
    setCentralWidget(central);

    connect(playerEditor_, &PlayerEditor::rosterEditorRequested, this,
            &MainWindow::TeamEditCMD_Click);
    connect(playerEditor_, &PlayerEditor::quitRequested, this, &MainWindow::endProgram);
}

void MainWindow::connectMenus() {
    connect(menus_->open, &QAction::triggered, this, &MainWindow::LoadROM);
    connect(menus_->close, &QAction::triggered, this, &MainWindow::CloseROM);
    connect(menus_->save, &QAction::triggered, this, &MainWindow::mnuSave_Click);
    connect(menus_->lastFile, &QAction::triggered, this, &MainWindow::QuickLoad);
    connect(menus_->exit, &QAction::triggered, this, &MainWindow::endProgram);
    connect(menus_->cheats, &QAction::triggered, this, &MainWindow::mnuCheats_Click);
    connect(menus_->homepage, &QAction::triggered, this,
            [this] { platform_.urls.open(QUrl(AboutDialog::kHomePage)); });
    connect(menus_->about, &QAction::triggered, this, [this] {
        AboutDialog dialog(platform_.urls, this);
        dialog.exec();
    });
}

void MainWindow::showMenuState() {
    MenuState state;
    state.lastFile = settings_.lastFile();
    state.checksumStale = checksum_->stale();
    if (session_->isOpen()) {
        const Session& session = session_->session();
        state.imageOpen = true;
        state.playerData = session.image().allows(Table::Players).ok();
        state.cheats = session.image().identification() && session.image().facts().cheats;
        state.undoLabel = QString::fromStdString(session.history().undoLabel());
        state.redoLabel = QString::fromStdString(session.history().redoLabel());
    }
    menus_->apply(state);
}

QString MainWindow::releaseCode() const {
    return regionLabel_->text();
}

void MainWindow::Form_Load() {
    LoadROM();
}

void MainWindow::Form_Load(const QString& imagePath) {
    openImage(QFileInfo(imagePath).absoluteFilePath(), OpenPath::Dialog);
}

// ---- Opening ------------------------------------------------------------------------------

void MainWindow::LoadROM() {
    std::optional<QString> chosen =
        platform_.files.openFile(this, kImageFileFilters, kPreselectedImageFilter);
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
    if (!opened->notice().empty()) {
        platform_.messages.show(this, MessageBoxes::Icon::Information, programCaption(),
                                QString::fromStdString(opened->notice()));
    }
    switch (opened->refusal()) {
        case Refusal::None:
            break;
        case Refusal::Unreadable:
            refuseOpening(via, QString::fromStdString(opened->verdict().message()));
            return;
        case Refusal::FirstByteZero:
            refuseOpening(via);
            return;
        case Refusal::UnknownRelease:
            platform_.messages.show(this, MessageBoxes::Icon::Exclamation,
                                    QStringLiteral("Unknown ROM image"),
                                    QString::fromStdString(opened->verdict().message()) +
                                        QStringLiteral(" The editor will not change it."));
            if (via == OpenPath::RememberedFile) {
                settings_.forgetLastFile();
            }
            showMenuState();
            return;
    }
    useNamesFor(path);
    if (via == OpenPath::Dialog) {
        settings_.setLastFile(path);
    }
    session_->open(Session(std::move(opened).value()));
    // The main window comes to the front with the player list focused, ready for the keys.
    if (isVisible()) {
        raise();
        activateWindow();
    }
    playerEditor_->focusPlayerList();
}

void MainWindow::showOpenedImage() {
    if (session_->image().rom().hasCopierHeader()) {
        statusBar()->showMessage(
            QStringLiteral("This image starts with a 512-byte copier header; "
                           "the editor skips it and leaves it as it is."));
    } else {
        statusBar()->clearMessage();
    }
    LoadROMIName(*session_->image().identification());
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
    session_->setNames(std::move(file.names));
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
    showMenuState();
}

void MainWindow::LoadROMIName(const Identification& identification) {
    const ReleaseFacts& release = factsOf(identification.release);
    QString caption = programCaption() + QStringLiteral(" - ''") +
                      asCaptionText(QString::fromStdString(identification.title)) +
                      text(release.captionEnding);
    setMainAndRosterCaption(caption);
    cheatsCaption_ = caption;
    regionLabel_->setText(text(release.code));
}

void MainWindow::setMainAndRosterCaption(const QString& caption) {
    setWindowTitle(caption);
    rosterCaption_ = caption;
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
}

// ---- Closing, saving, ending ----------------------------------------------------------------

void MainWindow::CloseROM() {
    if (!romOpen()) {
        return;
    }
    QString path = QString::fromStdString(session_->image().path());
    setMainAndRosterCaption(programCaption() + kNoRomLoaded);
    settings_.setLastFile(path);
    session_->close();
    statusBar()->clearMessage();
}

void MainWindow::mnuSave_Click() {
    playerEditor_->SavePlayer();
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
    session_->blockSignals(true);  // the windows are going; nobody needs to follow the close
    session_->close();
    close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    endProgram();
    event->accept();
}

// ---- Other windows ------------------------------------------------------------------------

void MainWindow::TeamEditCMD_Click() {
    if (!romOpen()) {
        return;
    }
    RosterEditor dialog(*session_, platform_, this);
    if (rosterCaption_) {
        dialog.setWindowTitle(*rosterCaption_);
    }
    dialog.exec();
    rosterCaption_.reset();
}

void MainWindow::mnuCheats_Click() {
    if (!romOpen()) {
        return;
    }
    CheatsDialog dialog(*session_, platform_, this);
    if (cheatsCaption_) {
        dialog.setWindowTitle(*cheatsCaption_);
    }
    dialog.exec();
    cheatsCaption_.reset();
}

}  // namespace slamwise
