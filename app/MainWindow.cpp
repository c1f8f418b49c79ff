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

#include "Version.h"
#include "about/AboutDialog.h"
#include "app/ChecksumActions.h"
#include "app/ImageOpener.h"
#include "app/LeagueActions.h"
#include "app/Menus.h"
#include "app/PatchActions.h"
#include "app/UndoActions.h"
#include "app/WriteMessages.h"
#include "cheats/CheatsDialog.h"
#include "platform/ShownText.h"
#include "player/PlayerEditor.h"
#include "roster/RosterEditor.h"

namespace slamwise {

const QString MainWindow::kDesignCaption =
    QStringLiteral("Slamwise Player Editor (v0.00) - ROM NAME");

namespace {

const QString kNoRomLoaded = QStringLiteral(" - NO ROM LOADED");

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
    league_ = new LeagueActions(this, *session_, platform_, *menus_);
    new WriteMessages(this, *session_);
    createCentralWidget();
    opener_ = std::make_unique<ImageOpener>(this, *session_, platform_, settings_);
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
        state.cheats = session.image().allows(Table::Cheats).ok();
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
    opener_->open(QFileInfo(imagePath).absoluteFilePath(), ImageOpener::Via::Dialog);
    afterOpening();
}

// ---- Opening ------------------------------------------------------------------------------

void MainWindow::LoadROM() {
    opener_->openChosen();
    afterOpening();
}

void MainWindow::QuickLoad() {
    opener_->openRemembered();
    afterOpening();
}

void MainWindow::afterOpening() {
    showMenuState();  // also after a refusal: the remembered file may have been forgotten
    if (romOpen()) {
        // The main window comes to the front with the player list focused, ready for the keys.
        if (isVisible()) {
            raise();
            activateWindow();
        }
        playerEditor_->focusPlayerList();
    }
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
    opener_->open(path, ImageOpener::Via::Dialog);
    afterOpening();
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
    if (ended_ || !league_->closeWindows()) {
        return;  // a table with unapplied changes was kept open
    }
    ended_ = true;
    SaveREG();
    session_->blockSignals(true);  // the windows are going; nobody needs to follow the close
    session_->close();
    close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    endProgram();
    event->setAccepted(ended_);
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
