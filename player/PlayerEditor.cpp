#include "player/PlayerEditor.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QVBoxLayout>

#include "platform/ShownText.h"
#include "player/Relocation.h"

namespace slamwise {

namespace {

// Users type at most two digits, but a stored byte above 99 is shown whole (a save clamps it
// to 10 like any rating above 10).
void showPlainRating(QLineEdit* box, std::uint8_t value) {
    QString text = QString::number(value);
    box->setMaxLength(std::max(2, static_cast<int>(text.size())));
    box->setText(text);
}

const QString kOffsetPlaceholder = QStringLiteral("0000000");  // offset labels with no ROM
const QString kOffsetStyle = QStringLiteral("font-weight: bold; color: blue;");

// Filler writes begin after the table copy and the eight pointer patches.
constexpr int kWritesBeforeFiller = 1 + static_cast<int>(kVisualPointerSites.size());

QString hexText(std::uint32_t value) {
    return QString::number(value, 16).toUpper();
}

QLabel* valueLabel(const QString& objectName, QWidget* parent) {
    auto* label = new QLabel(kOffsetPlaceholder, parent);
    label->setObjectName(objectName);
    label->setStyleSheet(kOffsetStyle);
    return label;
}

}  // namespace

PlayerEditor::PlayerEditor(Platform platform, const GameNames& names, QWidget* parent)
    : QWidget(parent), platform_(platform) {
    createWidgets(names);
    createLayout();
    connectWidgets();

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

    PlayerValueLBL = new QLabel(QStringLiteral("Player Value:"), MainFRA);
    PlayerValueLBL->setObjectName(QStringLiteral("PlayerValueLBL"));
    PlayerValueTXT = new QLineEdit(MainFRA);
    PlayerValueTXT->setObjectName(QStringLiteral("PlayerValueTXT"));
    PlayerValueTXT->setMaxLength(3);
    PlayerValueTXT->setToolTip(QStringLiteral("Cannot edit this field."));
    PlayerValueTXT->setStyleSheet(QStringLiteral("background-color: palette(window);"));
    PlayerValueTXT->setEnabled(false);

    // Rating boxes in the order of the clamp; captions as the labels beside them.
    const std::array<std::pair<const char*, const char*>, 8> ratings = {{
        {"SPEEDTXT", "Speed Rating:"},
        {"THREETXT", "3 Pointer Rating:"},
        {"DUNKTXT", "Dunk Rating:"},
        {"PASSTXT", "Passing Rating:"},
        {"POWERTXT", "Power Rating:"},
        {"STEALTXT", "Steal Rating:"},
        {"BLOCKTXT", "Block Rating:"},
        {"DIRKTXT", "Clutch Rating:"},
    }};
    const std::array<const char*, 7> labelNames = {"ThreeLBL", "DunkLBL",  "PassLBL",  "PowerLBL",
                                                   "StealLBL", "BlockLBL", "ClutchLBL"};
    auto* digits =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,2}")), this);
    std::array<QLineEdit**, 8> boxes = {&SPEEDTXT, &THREETXT, &DUNKTXT,  &PASSTXT,
                                        &POWERTXT, &STEALTXT, &BLOCKTXT, &DIRKTXT};
    for (std::size_t i = 0; i < ratings.size(); ++i) {
        auto* box = new QLineEdit(MainFRA);
        box->setObjectName(QString::fromLatin1(ratings[i].first));
        box->setMaxLength(2);
        box->setValidator(digits);
        *boxes[i] = box;
        QString caption = QString::fromLatin1(ratings[i].second);
        ratingBoxes_[i] = {box, caption.chopped(1)};
        if (i == 0) {
            NameLBL = new QLabel(caption, MainFRA);
            NameLBL->setObjectName(QStringLiteral("NameLBL"));
        } else {
            ratingLabels_[i - 1] = new QLabel(caption, MainFRA);
            ratingLabels_[i - 1]->setObjectName(QString::fromLatin1(labelNames[i - 1]));
        }
    }

    HeightFRA = new QGroupBox(QStringLiteral("Height:"), MainFRA);
    HeightFRA->setObjectName(QStringLiteral("HeightFRA"));
    TallOPT = new QRadioButton(QStringLiteral("Normal"), HeightFRA);
    TallOPT->setObjectName(QStringLiteral("TallOPT"));
    ShortOPT = new QRadioButton(QStringLiteral("Small"), HeightFRA);
    ShortOPT->setObjectName(QStringLiteral("ShortOPT"));
    heightGroup_ = new QButtonGroup(this);
    heightGroup_->addButton(TallOPT);
    heightGroup_->addButton(ShortOPT);

    SkinFRA = new QGroupBox(QStringLiteral("Skin Tone:"), MainFRA);
    SkinFRA->setObjectName(QStringLiteral("SkinFRA"));
    BlackUOPT = new QRadioButton(QStringLiteral("Black (Unused?)"), SkinFRA);
    BlackUOPT->setObjectName(QStringLiteral("BlackUOPT"));
    BlackOPT = new QRadioButton(QStringLiteral("Black"), SkinFRA);
    BlackOPT->setObjectName(QStringLiteral("BlackOPT"));
    WhiteOPT = new QRadioButton(QStringLiteral("White"), SkinFRA);
    WhiteOPT->setObjectName(QStringLiteral("WhiteOPT"));
    skinGroup_ = new QButtonGroup(this);
    skinGroup_->addButton(BlackUOPT);
    skinGroup_->addButton(BlackOPT);
    skinGroup_->addButton(WhiteOPT);

    HeadLBL = new QLabel(QStringLiteral("Head Graphic Pointer (in-game):"), MainFRA);
    HeadLBL->setObjectName(QStringLiteral("HeadLBL"));
    HeadLST = new QComboBox(MainFRA);
    HeadLST->setObjectName(QStringLiteral("HeadLST"));
    for (const std::string& head : names.heads) {
        HeadLST->addItem(QString::fromStdString(head));
    }
    HeadLST->setCurrentIndex(0);
    HeadLST->setEnabled(false);  // not connected to any record field

    AICaptionLBL = new QLabel(QStringLiteral("Player AI Setting:"), MainFRA);
    AICaptionLBL->setObjectName(QStringLiteral("AICaptionLBL"));
    AISLDR = new QSlider(Qt::Horizontal, MainFRA);
    AISLDR->setObjectName(QStringLiteral("AISLDR"));
    AISLDR->setRange(kAiSliderMin, kAiSliderMax);
    AISLDR->setSingleStep(1);
    AISLDR->setPageStep(1);
    AISLDR->setTickPosition(QSlider::TicksBelow);
    AISLDR->setTickInterval(1);
    AILBL = new QLabel(QStringLiteral("0"), MainFRA);
    AILBL->setObjectName(QStringLiteral("AILBL"));
    AILBL->setStyleSheet(kOffsetStyle);
    AILBL->setMinimumWidth(AILBL->fontMetrics().horizontalAdvance(QStringLiteral("000")));

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
    VisualHEXLBL = valueLabel(QStringLiteral("VisualHEXLBL"), OffsetFRA);
    VisualDECLBL = valueLabel(QStringLiteral("VisualDECLBL"), OffsetFRA);
    ActualHEXLBL = valueLabel(QStringLiteral("ActualHEXLBL"), OffsetFRA);
    ActualDECLBL = valueLabel(QStringLiteral("ActualDECLBL"), OffsetFRA);
    for (QLabel* label : {VisualHEXLBL, VisualDECLBL, ActualHEXLBL, ActualDECLBL}) {
        label->setCursor(Qt::PointingHandCursor);
        label->setToolTip(offsetToolTip(0, 0, OffsetForm::Hex));
        label->installEventFilter(this);
    }

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

    mnuCopyParent = new QMenu(QStringLiteral("Copy Offsets"), this);
    mnuCopyParent->setObjectName(QStringLiteral("mnuCopyParent"));
    auto addCopy = [this](const char* name, const char* caption) {
        QAction* action = mnuCopyParent->addAction(QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    mnuCopyVisualHEX = addCopy("mnuCopyVisualHEX", "Copy Visual Data Hex Offset to Clipboard");
    mnuCopyVisualDEC = addCopy("mnuCopyVisualDEC", "Copy Visual Data Decimal Offset to Clipboard");
    mnuCopyActualHEX = addCopy("mnuCopyActualHEX", "Copy Actual Data Hex Offset to Clipboard");
    mnuCopyActualDEC = addCopy("mnuCopyActualDEC", "Copy Actual Data Decimal Offset to Clipboard");
}

void PlayerEditor::createLayout() {
    // Rating column: the value box, then the eight ratings, row by row.
    auto* ratingGrid = new QGridLayout;
    ratingGrid->addWidget(PlayerValueLBL, 0, 0);
    ratingGrid->addWidget(PlayerValueTXT, 0, 1);
    ratingGrid->addWidget(NameLBL, 1, 0);
    ratingGrid->addWidget(SPEEDTXT, 1, 1);
    for (std::size_t i = 1; i < ratingBoxes_.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        ratingGrid->addWidget(ratingLabels_[i - 1], row, 0);
        ratingGrid->addWidget(ratingBoxes_[i].box, row, 1);
    }
    const int boxWidth = fontMetrics().horizontalAdvance(QStringLiteral("$FFF")) + 16;
    PlayerValueTXT->setFixedWidth(boxWidth);
    for (const RatingBox& rating : ratingBoxes_) {
        rating.box->setFixedWidth(boxWidth);
    }
    ratingGrid->setRowStretch(static_cast<int>(ratingBoxes_.size()) + 1, 1);
    // The player list is wide enough for the longest placeholder name.
    PlayerLST->setMinimumWidth(
        PlayerLST->fontMetrics().horizontalAdvance(QStringLiteral("Special Player 000 (Unused)")) +
        PlayerLST->verticalScrollBar()->sizeHint().width() + 2 * PlayerLST->frameWidth() + 12);

    auto* heightLayout = new QVBoxLayout(HeightFRA);
    heightLayout->addWidget(TallOPT);
    heightLayout->addWidget(ShortOPT);
    auto* skinLayout = new QVBoxLayout(SkinFRA);
    skinLayout->addWidget(BlackUOPT);
    skinLayout->addWidget(BlackOPT);
    skinLayout->addWidget(WhiteOPT);

    auto* middleColumn = new QVBoxLayout;
    middleColumn->addWidget(HeightFRA);
    middleColumn->addWidget(SkinFRA);
    middleColumn->addWidget(HeadLBL);
    middleColumn->addWidget(HeadLST);
    middleColumn->addStretch(1);

    auto* rightColumn = new QVBoxLayout;
    rightColumn->addWidget(TeamEditCMD);
    rightColumn->addWidget(RelocateVisualCMD);
    rightColumn->addWidget(RelocateVisualCHK);
    rightColumn->addStretch(1);

    auto* columns = new QHBoxLayout;
    columns->addLayout(ratingGrid);
    columns->addLayout(middleColumn);
    columns->addLayout(rightColumn);

    auto* aiRow = new QHBoxLayout;
    aiRow->addWidget(AISLDR, 1);
    aiRow->addWidget(AILBL);

    auto* offsetGrid = new QGridLayout(OffsetFRA);
    const std::array<QLabel*, 4> values = {VisualHEXLBL, VisualDECLBL, ActualHEXLBL, ActualDECLBL};
    for (int i = 0; i < 4; ++i) {
        offsetGrid->addWidget(offsetCaptions_[static_cast<std::size_t>(i)], i / 2, (i % 2) * 2);
        offsetGrid->addWidget(values[static_cast<std::size_t>(i)], i / 2, (i % 2) * 2 + 1);
    }

    auto* frameLayout = new QVBoxLayout(MainFRA);
    frameLayout->addLayout(columns);
    frameLayout->addWidget(AICaptionLBL);
    frameLayout->addLayout(aiRow);
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
    connect(ApplyCMD, &QPushButton::clicked, this, &PlayerEditor::ApplyCMD_Click);
    connect(QuitCMD, &QPushButton::clicked, this, &PlayerEditor::quitRequested);
    connect(TeamEditCMD, &QPushButton::clicked, this, &PlayerEditor::rosterEditorRequested);
    connect(RelocateVisualCMD, &QPushButton::clicked, this, &PlayerEditor::RelocateVisualCMD_Click);
    connect(AISLDR, &QSlider::valueChanged, this, &PlayerEditor::AISLDR_Change);
    connect(mnuCopyVisualHEX, &QAction::triggered, this,
            [this] { copyOffset(VisualDECLBL, true); });
    connect(mnuCopyVisualDEC, &QAction::triggered, this,
            [this] { copyOffset(VisualDECLBL, false); });
    connect(mnuCopyActualHEX, &QAction::triggered, this,
            [this] { copyOffset(ActualDECLBL, true); });
    connect(mnuCopyActualDEC, &QAction::triggered, this,
            [this] { copyOffset(ActualDECLBL, false); });
}

// ---- What the main window calls ----------------------------------------------------------

void PlayerEditor::setImage(OpenedImage* image) {
    image_ = image;
}

void PlayerEditor::setNames(const GameNames& names) {
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
    if (image_ == nullptr) {
        return;
    }
    if (!image_->relocationStatus()) {
        reportFailure(QStringLiteral("Cannot tell whether the visual data was relocated."),
                      image_->relocationStatus());
    } else if (image_->relocated()) {
        RelocateVisualCHK->setChecked(true);
        RelocateVisualCMD->setEnabled(false);
    } else if (image_->relocationState() == RelocationState::NotRelocated) {
        RelocateVisualCHK->setChecked(false);
        RelocateVisualCMD->setEnabled(playerDataAvailable());
    }
    platform_.settings.setValue(settings_keys::kVisualDataExpanded,
                                relocated() ? QStringLiteral("1") : QStringLiteral("0"));
}

void PlayerEditor::SelectFirstPlayer() {
    {
        QSignalBlocker blocker(PlayerLST);
        PlayerLST->setCurrentRow(0);
    }
    PlayerLST_Click();  // also when player 0 was already selected
}

void PlayerEditor::showSelectedPlayer() {
    if (!playerDataAvailable()) {
        return;
    }
    CheckRelocatedData();
    PlayerLST_Click();
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
    image_ = nullptr;  // the main window closes the file next
}

void PlayerEditor::SavePlayer() {
    if (!playerDataAvailable() || relocating_) {
        return;  // images without player data never get player data written
    }
    const int player = selectedPlayer();
    if (player < 0) {
        return;
    }
    Set10();
    if (const QStringList empty = emptyRatingBoxes(); !empty.isEmpty()) {
        platform_.messages.show(
            window(), MessageBoxes::Icon::Exclamation, QStringLiteral("Nothing was saved"),
            QStringLiteral("Please type a rating from 0 to 10 in every rating box. These are "
                           "empty: %1.\r\nNothing was written to the ROM.")
                .arg(empty.join(QStringLiteral(", "))));
        return;
    }
    Edit edit;
    Status status = SavePlayerData(player).addTo(edit, *image_);
    if (status) {
        status = image_->apply(edit, "Apply to " + PlayerLST->item(player)->text().toStdString());
    }
    if (!status) {
        reportFailure(QStringLiteral("The player could not be saved completely."), status);
    }
}

bool PlayerEditor::relocated() const {
    return image_ != nullptr && image_->relocated();
}

bool PlayerEditor::shutOff() const {
    return shutOff_;
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

void PlayerEditor::ApplyCMD_Click() {
    SavePlayer();
}

void PlayerEditor::RelocateVisualCMD_Click() {
    RelocateVisualData();
    if (relocated()) {
        RelocateVisualCMD->setEnabled(false);
    }
}

void PlayerEditor::AISLDR_Change() {
    AILBL->setText(QString::number(AISLDR->value()));
}

bool PlayerEditor::eventFilter(QObject* watched, QEvent* event) {
    const bool offsetLabel = watched == VisualHEXLBL || watched == VisualDECLBL ||
                             watched == ActualHEXLBL || watched == ActualDECLBL;
    if (offsetLabel && event->type() == QEvent::MouseButtonRelease) {
        mnuCopyParent->popup(QCursor::pos());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void PlayerEditor::copyOffset(QLabel* decimalLabel, bool hex) {
    const QString decimal = decimalLabel->text();
    bool isNumber = false;
    const uint value = decimal.toUInt(&isNumber);
    platform_.clipboard.setText(hex && isNumber ? hexText(value) : decimal);
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
    Result<PlayerRecord> read = readPlayerRecord(image_->rom(), player);
    if (!read) {
        reportFailure(QStringLiteral("The player could not be read."), read.status());
        return;
    }
    const Player shown = decodePlayer(*read);
    PlayerValueTXT->setText(QStringLiteral("$") + hexText(shown.value));
    for (Rating rating : {Rating::Dunk, Rating::Block, Rating::Steal, Rating::Pass, Rating::Power,
                          Rating::Clutch}) {
        showPlainRating(ratingBoxes_[static_cast<std::size_t>(rating)].box,
                        *shown.ratings[static_cast<std::size_t>(rating)]);
    }
    GetSpeed(shown);
    GetThree(shown);
    GetArtificialIntelligence(shown);
    GetSkin(shown);
    if (shown.height == Height::Normal) {
        TallOPT->setChecked(true);
    } else if (shown.height == Height::Small) {
        ShortOPT->setChecked(true);
    }
}

void PlayerEditor::GetSpeed(const Player& player) {
    if (std::optional<int> rating = player.ratings[static_cast<std::size_t>(Rating::Speed)]) {
        SPEEDTXT->setText(QString::number(*rating));
    }
}

void PlayerEditor::GetThree(const Player& player) {
    if (std::optional<int> rating = player.ratings[static_cast<std::size_t>(Rating::Three)]) {
        THREETXT->setText(QString::number(*rating));
    }
}

void PlayerEditor::GetArtificialIntelligence(const Player& player) {
    // A stored value the slider cannot show sits at its nearest end.
    const int position = std::clamp(player.ai, kAiSliderMin, kAiSliderMax);
    QSignalBlocker blocker(AISLDR);
    AISLDR->setValue(position);
    AILBL->setText(QString::number(position));
}

void PlayerEditor::GetSkin(const Player& player) {
    if (std::optional<Skin> skin = player.skin) {
        switch (*skin) {
            case Skin::Black:
                BlackOPT->setChecked(true);
                break;
            case Skin::BlackUnused:
                BlackUOPT->setChecked(true);
                break;
            case Skin::White:
                WhiteOPT->setChecked(true);
                break;
        }
    }
}

void PlayerEditor::Set10() {
    for (const RatingBox& rating : ratingBoxes_) {
        bool isNumber = false;
        const int value = rating.box->text().toInt(&isNumber);
        if (isNumber && value > kMaxRating) {
            rating.box->setText(QStringLiteral("10"));
        }
    }
}

PlayerEdit PlayerEditor::SavePlayerData(int player) const {
    PlayerEdit edit;
    edit.player = player;
    for (std::size_t i = 0; i < ratingBoxes_.size(); ++i) {
        edit.ratings[i] = ratingBoxes_[i].box->text().toInt();
    }
    edit.ai = AISLDR->value();
    edit.skin = SetSkin();
    if (TallOPT->isChecked()) {
        edit.height = Height::Normal;
    } else if (ShortOPT->isChecked()) {
        edit.height = Height::Small;
    }
    return edit;
}

std::optional<Skin> PlayerEditor::SetSkin() const {
    if (BlackOPT->isChecked()) {
        return Skin::Black;
    }
    if (BlackUOPT->isChecked()) {
        return Skin::BlackUnused;
    }
    if (WhiteOPT->isChecked()) {
        return Skin::White;
    }
    return std::nullopt;
}

void PlayerEditor::RelocateVisualData() {
    if (image_ == nullptr || relocating_) {
        return;
    }
    Result<Edit> edit = relocationEdit(*image_);
    if (!edit) {
        reportFailure(QStringLiteral("The visual data could not be relocated."), edit.status());
        return;
    }
    relocating_ = true;
    int written = 0;
    // User input waits until the end, so no click can start anything halfway through.
    const Status status = image_->apply(*edit, "Relocation", [&written] {
        if (++written > kWritesBeforeFiller) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
    });
    relocating_ = false;
    if (!status) {
        reportFailure(QStringLiteral("The relocation of the visual data stopped before it was "
                                     "complete. The visual data is not marked as relocated."),
                      status);
        return;
    }
    image_->markRelocated();
    RelocateVisualCHK->setChecked(true);
    platform_.settings.setValue(settings_keys::kVisualDataExpanded, QStringLiteral("1"));
}

// ---- Helpers ------------------------------------------------------------------------------

bool PlayerEditor::playerDataAvailable() const {
    return image_ != nullptr && !shutOff_ && !image_->shutOff();
}

int PlayerEditor::selectedPlayer() const {
    const int row = PlayerLST->currentRow();
    return row >= 0 && row < kPlayerCount ? row : -1;
}

QStringList PlayerEditor::emptyRatingBoxes() const {
    QStringList captions;
    for (const RatingBox& rating : ratingBoxes_) {
        bool isNumber = false;
        const int value = rating.box->text().toInt(&isNumber);
        if (!isNumber || value < 0 || value > kMaxRating) {
            captions << rating.caption;
        }
    }
    return captions;
}

void PlayerEditor::showOffsets(int player) {
    const VisualLayout layout = relocated() ? VisualLayout::Relocated : VisualLayout::Standard;
    const std::uint32_t visual = visualOffset(layout, player);
    const std::uint32_t actual = actualOffset(player);
    VisualHEXLBL->setText(QString::fromStdString(hexOffset(visual)));
    VisualDECLBL->setText(QString::number(visual));
    ActualHEXLBL->setText(QString::fromStdString(hexOffset(actual)));
    ActualDECLBL->setText(QString::number(actual));
    setOffsetToolTips(visual, actual, image_ != nullptr ? image_->rom().headerSize() : 0);
}

void PlayerEditor::setOffsetToolTips(std::uint32_t visual, std::uint32_t actual,
                                     std::uint32_t headerSize) {
    VisualHEXLBL->setToolTip(offsetToolTip(visual, headerSize, OffsetForm::Hex));
    VisualDECLBL->setToolTip(offsetToolTip(visual, headerSize, OffsetForm::Decimal));
    ActualHEXLBL->setToolTip(offsetToolTip(actual, headerSize, OffsetForm::Hex));
    ActualDECLBL->setToolTip(offsetToolTip(actual, headerSize, OffsetForm::Decimal));
}

void PlayerEditor::setEditingEnabled(bool enabled) {
    for (QWidget* widget :
         std::initializer_list<QWidget*>{PlayerLST, ApplyCMD, OffsetFRA, HeightFRA, SkinFRA, AISLDR,
                                         TallOPT, ShortOPT, BlackUOPT, BlackOPT, WhiteOPT}) {
        widget->setEnabled(enabled);
    }
    for (const RatingBox& rating : ratingBoxes_) {
        rating.box->setEnabled(enabled);
    }
}

void PlayerEditor::resetFields(const QString& number, const QString& offset) {
    PlayerValueTXT->setText(number);
    for (const RatingBox& rating : ratingBoxes_) {
        rating.box->setText(number);
    }
    {
        QSignalBlocker blocker(AISLDR);
        AISLDR->setValue(0);
    }
    AILBL->setText(number);
    clearOptionButtons();
    for (QLabel* label : {VisualHEXLBL, VisualDECLBL, ActualHEXLBL, ActualDECLBL}) {
        label->setText(offset);
    }
    setOffsetToolTips(0, 0, 0);
}

void PlayerEditor::clearOptionButtons() {
    for (QButtonGroup* group : {heightGroup_, skinGroup_}) {
        group->setExclusive(false);
        for (QAbstractButton* button : group->buttons()) {
            button->setChecked(false);
        }
        group->setExclusive(true);
    }
}

void PlayerEditor::reportFailure(const QString& what, const Status& status) {
    platform_.messages.show(window(), MessageBoxes::Icon::Critical,
                            QStringLiteral("Slamwise Player Editor"), what,
                            QString::fromStdString(status.message()));
}

}  // namespace slamwise
