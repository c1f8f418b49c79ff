#include "player/PlayerEditor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>

#include "platform/UserSettings.h"
#include "ui/OffsetLabels.h"

namespace slamwise {

namespace {

const QString kOffsetPlaceholder = QStringLiteral("0000000");  // offset labels with no ROM

// The offset labels: the visual record's offsets, then the actual record's.
constexpr std::size_t kVisual = 0;
constexpr std::size_t kActual = 1;

}  // namespace

PlayerEditor::PlayerEditor(ImageSession& session, Platform platform, QWidget* parent)
    : QWidget(parent), session_(session), platform_(platform) {
    createWidgets(session_.names());
    createButtons();
    createLayout();
    connectWidgets();
    connect(&session_, &ImageSession::opened, this, &PlayerEditor::showOpenedImage);
    connect(&session_, &ImageSession::aboutToClose, this, &PlayerEditor::ResetAfterClose);
    connect(&session_, &ImageSession::written, this, &PlayerEditor::showWrittenImage);
    connect(&session_, &ImageSession::namesChanged, this, &PlayerEditor::showNames);

    // Nothing of the editor works before a ROM is open.
    setEditingEnabled(false);
    TeamEditCMD->setEnabled(false);
    RelocateVisualCMD->setEnabled(false);
}

void PlayerEditor::createWidgets(const GameNames& names) {
    PlayerLST = new QListWidget(this);
    PlayerLST->setObjectName(QStringLiteral("PlayerLST"));
    PlayerLST->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int i = 0; i < kPlayerCount; ++i) {
        PlayerLST->addItem(QString::fromStdString(names.players.at(static_cast<std::size_t>(i))));
    }

    MainFRA = new QGroupBox(this);
    MainFRA->setObjectName(QStringLiteral("MainFRA"));
    form_ = std::make_unique<RatingsForm>(MainFRA);

    HeadLBL = new QLabel(QStringLiteral("Head Graphic Pointer (in-game):"), MainFRA);
    HeadLBL->setObjectName(QStringLiteral("HeadLBL"));
    HeadLST = new QComboBox(MainFRA);
    HeadLST->setObjectName(QStringLiteral("HeadLST"));
    for (const std::string& head : names.heads) {
        HeadLST->addItem(QString::fromStdString(head));
    }
    HeadLST->setCurrentIndex(0);
    HeadLST->setEnabled(false);  // not connected to any record field

    OffsetFRA = new QGroupBox(QStringLiteral("Player Stat Data Offsets:"), MainFRA);
    OffsetFRA->setObjectName(QStringLiteral("OffsetFRA"));
    const std::array<std::pair<const char*, const char*>, 4> captions = {{
        {"VisualHEXCaptionLBL", "Visual data (Hex):"},
        {"VisualDECCaptionLBL", "Visual data (Decimal):"},
        {"ActualHEXCaptionLBL", "Actual data (Hex):"},
        {"ActualDECCaptionLBL", "Actual data (Decimal):"},
    }};
    for (std::size_t i = 0; i < captions.size(); ++i) {
        offsetCaptions_[i] = new QLabel(QString::fromLatin1(captions[i].second), OffsetFRA);
        offsetCaptions_[i]->setObjectName(QString::fromLatin1(captions[i].first));
    }
    offsets_ = new OffsetLabels(this, platform_.clipboard, QStringLiteral("Copy Offsets"),
                                kOffsetPlaceholder,
                                {{"VisualHEXLBL", "VisualDECLBL", "mnuCopyVisualHEX",
                                  "Copy Visual Data Hex Offset to Clipboard", "mnuCopyVisualDEC",
                                  "Copy Visual Data Decimal Offset to Clipboard"},
                                 {"ActualHEXLBL", "ActualDECLBL", "mnuCopyActualHEX",
                                  "Copy Actual Data Hex Offset to Clipboard", "mnuCopyActualDEC",
                                  "Copy Actual Data Decimal Offset to Clipboard"}});
    offsets_->reset(kOffsetPlaceholder);
}

void PlayerEditor::createButtons() {
    TeamEditCMD = new QPushButton(QStringLiteral("Roster Editor"), MainFRA);
    TeamEditCMD->setObjectName(QStringLiteral("TeamEditCMD"));
    TeamEditCMD->setToolTip(QStringLiteral("This edits each team's player roster."));
    TeamEditCMD->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    RelocateVisualCMD = new QPushButton(QStringLiteral("Relocate Visual"), MainFRA);
    RelocateVisualCMD->setObjectName(QStringLiteral("RelocateVisualCMD"));
    RelocateVisualCMD->setToolTip(
        QStringLiteral("This option allows you to relocate all the player's visual stats to allow "
                       "the special/secret players to show the correct stat."));
    RelocateVisualCMD->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
    RelocateVisualCHK = new QCheckBox(QStringLiteral("Visual Data Relocated?"), MainFRA);
    RelocateVisualCHK->setObjectName(QStringLiteral("RelocateVisualCHK"));
    RelocateVisualCHK->setEnabled(false);  // shows the flag; the user cannot change it

    InfoIMG = new QLabel(this);
    InfoIMG->setObjectName(QStringLiteral("InfoIMG"));
    InfoIMG->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    InfoLBL = new QLabel(
        QStringLiteral("Note: the portrait of list entry 81 (marked unused) points at the portrait "
                       "of entry 94. His stats are all there and he can be played "
                       "normally in the game."),
        this);
    InfoLBL->setObjectName(QStringLiteral("InfoLBL"));
    InfoLBL->setWordWrap(true);

    ApplyCMD = new QPushButton(QStringLiteral("Apply"), this);
    ApplyCMD->setObjectName(QStringLiteral("ApplyCMD"));
    QuitCMD = new QPushButton(QStringLiteral("Cancel"), this);
    QuitCMD->setObjectName(QStringLiteral("QuitCMD"));
}

void PlayerEditor::createLayout() {
    const int boxWidth = fontMetrics().horizontalAdvance(QStringLiteral("$FFF")) + 16;
    // The player list is wide enough for the longest placeholder name.
    PlayerLST->setMinimumWidth(
        PlayerLST->fontMetrics().horizontalAdvance(QStringLiteral("Special Player 000 (Unused)")) +
        PlayerLST->verticalScrollBar()->sizeHint().width() + 2 * PlayerLST->frameWidth() + 12);

    auto* middleColumn = new QVBoxLayout;
    middleColumn->addWidget(form_->heightFrame());
    middleColumn->addWidget(form_->skinFrame());
    middleColumn->addWidget(HeadLBL);
    middleColumn->addWidget(HeadLST);
    middleColumn->addStretch(1);

    auto* rightColumn = new QVBoxLayout;
    rightColumn->addWidget(TeamEditCMD);
    rightColumn->addWidget(RelocateVisualCMD);
    rightColumn->addWidget(RelocateVisualCHK);
    rightColumn->addStretch(1);

    auto* columns = new QHBoxLayout;
    columns->addLayout(form_->createRatingGrid(boxWidth));
    columns->addLayout(middleColumn);
    columns->addLayout(rightColumn);

    auto* offsetGrid = new QGridLayout(OffsetFRA);
    for (std::size_t i = 0; i < offsetCaptions_.size(); ++i) {
        const std::size_t offset = i < 2 ? kVisual : kActual;
        QLabel* value = i % 2 == 0 ? offsets_->hexLabel(offset) : offsets_->decimalLabel(offset);
        const int row = static_cast<int>(i) / 2;
        const int column = static_cast<int>(i % 2) * 2;
        offsetGrid->addWidget(offsetCaptions_[i], row, column);
        offsetGrid->addWidget(value, row, column + 1);
    }

    auto* frameLayout = new QVBoxLayout(MainFRA);
    frameLayout->addLayout(columns);
    frameLayout->addWidget(form_->aiCaption());
    frameLayout->addLayout(form_->createAiRow());
    frameLayout->addWidget(OffsetFRA);

    auto* top = new QHBoxLayout;
    top->addWidget(PlayerLST, 1);
    top->addWidget(MainFRA, 2);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(InfoIMG);
    bottom->addWidget(InfoLBL, 1);
    bottom->addWidget(ApplyCMD);
    bottom->addWidget(QuitCMD);

    auto* outer = new QVBoxLayout(this);
    outer->addLayout(top, 1);
    outer->addLayout(bottom);
}

void PlayerEditor::connectWidgets() {
    connect(PlayerLST, &QListWidget::currentRowChanged, this, &PlayerEditor::PlayerLST_Click);
    connect(ApplyCMD, &QPushButton::clicked, this, &PlayerEditor::SavePlayer);
    connect(QuitCMD, &QPushButton::clicked, this, &PlayerEditor::quitRequested);
    connect(TeamEditCMD, &QPushButton::clicked, this, &PlayerEditor::rosterEditorRequested);
    connect(RelocateVisualCMD, &QPushButton::clicked, this, &PlayerEditor::RelocateVisualCMD_Click);
}

// ---- Following the image ------------------------------------------------------------------

void PlayerEditor::showOpenedImage() {
    ClearRelocationFlag();
    EnableEditingControls();
    const OpenedImage& image = session_.image();
    if (image.shutOff()) {
        ShutOffPlayerEditor();
    } else if (!image.allows(Table::Players)) {
        switchOff();  // a file cut off before its player table: the opener says why
    }
    CheckRelocatedData();
    SelectFirstPlayer();
}

void PlayerEditor::showWrittenImage() {
    if (!saving_ && playerDataAvailable()) {
        CheckRelocatedData();
        PlayerLST_Click();
    }
}

void PlayerEditor::showNames() {
    const GameNames& names = session_.names();
    QSignalBlocker blockList(PlayerLST);
    for (int i = 0; i < kPlayerCount && i < static_cast<int>(names.players.size()); ++i) {
        PlayerLST->item(i)->setText(
            QString::fromStdString(names.players[static_cast<std::size_t>(i)]));
    }
    QSignalBlocker blockHeads(HeadLST);
    for (int i = 0; i < HeadLST->count() && i < static_cast<int>(names.heads.size()); ++i) {
        HeadLST->setItemText(i, QString::fromStdString(names.heads[static_cast<std::size_t>(i)]));
    }
}

void PlayerEditor::EnableEditingControls() {
    shutOff_ = false;
    setEditingEnabled(true);
    TeamEditCMD->setEnabled(true);
    RelocateVisualCMD->setEnabled(true);
}

void PlayerEditor::ClearRelocationFlag() {
    RelocateVisualCHK->setChecked(false);
}

void PlayerEditor::ShutOffPlayerEditor() {
    const QStringList lines = {
        QStringLiteral("Please note you cannot edit the Players' data with this version of the "
                       "ROM.  The following is what is available for each ROM to edit with this "
                       "program..."),
        QString(),
        QStringLiteral("Beta ROM: Player data is NOT AVAILABLE -- Team Roster data IS AVAILABLE"),
        QStringLiteral(
            "Europe Release: Player data is NOT AVAILABLE -- Team Roster data IS AVAILABLE"),
        QStringLiteral(
            "Japanese Release: Player data IS AVAILABLE -- Team Roster data IS AVAILABLE"),
        QStringLiteral(
            "North American Release: Player data IS AVAILABLE -- Team Roster data IS AVAILABLE"),
        QStringLiteral("Brannick's Old School Edition: Player data is NOT AVAILABLE -- Team Roster "
                       "data IS AVAILABLE but does not include editing the All-Stars team rosters "
                       "or the '\?\?\?' roster.  Also, various players have been replaced so the "
                       "names may or may not match.  You've been warned!"),
    };
    platform_.messages.show(window(), MessageBoxes::Icon::Exclamation,
                            QStringLiteral("Cannot edit this ROM fully!"),
                            lines.join(QStringLiteral("\r\n")));
    switchOff();
}

void PlayerEditor::switchOff() {
    shutOff_ = true;

    RelocateVisualCMD->setEnabled(false);
    resetFields(QString(), QString());
    setEditingEnabled(false);
}

void PlayerEditor::CheckRelocatedData() {
    const OpenedImage& image = session_.image();
    if (!image.relocationStatus() && image.cutOff(Table::Relocation).empty()) {
        // (A file cut off before the relocated table has been told so at opening.)
        reportFailure(QStringLiteral("Cannot tell whether the visual data was relocated."),
                      image.relocationStatus());
    } else if (image.relocated()) {
        RelocateVisualCHK->setChecked(true);
        RelocateVisualCMD->setEnabled(false);
    } else if (image.relocationState() == RelocationState::NotRelocated) {
        RelocateVisualCHK->setChecked(false);
        RelocateVisualCMD->setEnabled(playerDataAvailable());
    }
    UserSettings(platform_.settings).setVisualDataExpanded(relocated());
}

void PlayerEditor::SelectFirstPlayer() {
    {
        QSignalBlocker blocker(PlayerLST);
        PlayerLST->setCurrentRow(0);
    }
    PlayerLST_Click();  // also when player 0 was already selected
}

void PlayerEditor::focusPlayerList() {
    PlayerLST->setFocus(Qt::OtherFocusReason);
}

void PlayerEditor::ResetAfterClose() {
    SelectFirstPlayer();

    resetFields(QStringLiteral("0"), kOffsetPlaceholder);

    TeamEditCMD->setEnabled(false);
    RelocateVisualCMD->setEnabled(false);
    RelocateVisualCHK->setChecked(false);
    setEditingEnabled(false);
    shutOff_ = false;
}

void PlayerEditor::SavePlayer() {
    if (!playerDataAvailable()) {
        return;  // images without player data never get player data written
    }
    const int player = selectedPlayer();
    if (player < 0) {
        return;
    }
    form_->clampToTen();
    if (const QStringList empty = form_->emptyRatingBoxes(); !empty.isEmpty()) {
        platform_.messages.show(
            window(), MessageBoxes::Icon::Exclamation, QStringLiteral("Nothing was saved"),
            QStringLiteral("Please type a rating from 0 to 10 in every rating box. These are "
                           "empty: %1.\r\nNothing was written to the ROM.")
                .arg(empty.join(QStringLiteral(", "))));
        return;
    }
    const std::string label = "Apply to " + PlayerLST->item(player)->text().toStdString();
    if (Status status = save(savePlayers(label, {form_->edit(player)})); !status) {
        reportFailure(QStringLiteral("The player could not be saved completely."), status);
    }
}

Status PlayerEditor::save(const Action& action) {
    Result<Applied> applied = session_.check(action);
    return applied ? commit(*applied) : applied.status();
}

Status PlayerEditor::commit(const Applied& applied) {
    saving_ = true;
    Status status = session_.commit(applied);
    saving_ = false;
    return status;
}

bool PlayerEditor::relocated() const {
    return session_.isOpen() && session_.image().relocated();
}

// ---- Handlers -----------------------------------------------------------------------------

void PlayerEditor::PlayerLST_Click() {
    const int player = selectedPlayer();
    if (player < 0) {
        return;
    }
    showOffsets(player);
    LoadPlayerData();
}

void PlayerEditor::RelocateVisualCMD_Click() {
    if (!session_.isOpen()) {
        return;
    }
    // A few joined writes: quick enough that the window needs no progress shown.
    Result<Applied> relocation = session_.check(relocateVisualTable());
    if (!relocation) {
        reportFailure(QStringLiteral("The visual data could not be relocated."),
                      relocation.status());
    } else if (Status written = commit(*relocation); !written) {
        reportFailure(QStringLiteral("The relocation of the visual data stopped before it was "
                                     "complete. The visual data is not marked as relocated."),
                      written);
    } else {
        RelocateVisualCHK->setChecked(true);
        UserSettings(platform_.settings).setVisualDataExpanded(true);
    }
    if (relocated()) {
        RelocateVisualCMD->setEnabled(false);
    }
}

// ---- Records and controls -----------------------------------------------------------------

void PlayerEditor::LoadPlayerData() {
    if (!playerDataAvailable()) {
        return;  // nothing is read for images without player data
    }
    const int player = selectedPlayer();
    if (player < 0) {
        return;
    }
    Result<PlayerRecord> read = readPlayerRecord(session_.image().rom(), player);
    if (!read) {
        reportFailure(QStringLiteral("The player could not be read."), read.status());
        return;
    }
    form_->show(decodePlayer(*read));
}

// ---- Helpers ------------------------------------------------------------------------------

bool PlayerEditor::playerDataAvailable() const {
    return session_.isOpen() && !shutOff_ && !session_.image().shutOff();
}

int PlayerEditor::selectedPlayer() const {
    const int row = PlayerLST->currentRow();
    return row >= 0 && row < kPlayerCount ? row : -1;
}

// The visual offset follows the layout of the open image, as the model knows it.
void PlayerEditor::showOffsets(int player) {
    const VisualLayout layout = relocated() ? VisualLayout::Relocated : VisualLayout::Standard;
    const std::uint32_t headerSize = session_.isOpen() ? session_.image().rom().headerSize() : 0;
    offsets_->show(kVisual, visualOffset(layout, player), headerSize);
    offsets_->show(kActual, actualOffset(player), headerSize);
}

void PlayerEditor::setEditingEnabled(bool enabled) {
    for (QWidget* widget : std::initializer_list<QWidget*>{PlayerLST, ApplyCMD, OffsetFRA}) {
        widget->setEnabled(enabled);
    }
    form_->setEnabled(enabled);
}

void PlayerEditor::resetFields(const QString& number, const QString& offset) {
    form_->reset(number);
    offsets_->reset(offset);
}

void PlayerEditor::reportFailure(const QString& what, const Status& status) {
    platform_.messages.show(window(), MessageBoxes::Icon::Critical,
                            QStringLiteral("Slamwise Player Editor"), what,
                            QString::fromStdString(status.message()));
}

}  // namespace slamwise
