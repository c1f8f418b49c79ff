#include "roster/RosterEditor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>

#include "game/RosterTable.h"
#include "platform/ShownText.h"
#include "platform/UserSettings.h"
#include "ui/OffsetLabels.h"
#include "ui/Questions.h"
#include "ui/UndoKeys.h"

namespace slamwise {

namespace {

QFrame* separatorLine() {
    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

}  // namespace

RosterEditor::RosterEditor(ImageSession& session, Platform platform, QWidget* parent)
    : QDialog(parent), session_(session), platform_(platform) {
    setObjectName(QStringLiteral("RosterEditor"));
    setWindowTitle(QStringLiteral("Team Roster Editor"));
    // Fixed size, title bar and close box, no minimise or maximise.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    createWidgets(session_.names());
    createLayout();
    connectWidgets();
    setSlotShown(false);
    new UndoKeys(this, session_, platform_.messages);
    connect(&session_, &ImageSession::written, this, &RosterEditor::refresh);
}

void RosterEditor::refresh() {
    // This window's own writes leave the boxes as the user set them.
    if (!saving_ && team() >= 0 && slot() >= 0) {
        LoadRoster();
    }
}

Status RosterEditor::save(const Action& action) {
    saving_ = true;
    Status status = session_.apply(action).status();
    saving_ = false;
    return status;
}

void RosterEditor::createWidgets(const GameNames& names) {
    TeamLST = new QListWidget;
    TeamLST->setObjectName(QStringLiteral("TeamLST"));
    for (const std::string& team : names.teams) {
        TeamLST->addItem(QString::fromStdString(team));
    }

    SlotLST = new QListWidget;
    SlotLST->setObjectName(QStringLiteral("SlotLST"));
    for (int s = 1; s <= kRosterSlotCount; ++s) {
        SlotLST->addItem(QStringLiteral("Slot %1").arg(s));
    }
    for (QListWidget* list : {TeamLST, SlotLST}) {
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setCurrentRow(-1);
    }

    QStringList entries;
    for (int code = 0; code < kRosterEntryCount; ++code) {
        entries << QString::fromStdString(rosterEntryText(names, static_cast<std::uint8_t>(code)));
    }
    const QString blankingTip =
        QString::fromStdString(names.players.empty() ? std::string() : names.players[0]) +
        QStringLiteral(
            " byte ($00) can also be used to blank out player slots after the cut-off byte ($FE) "
            "is used.");
    POS1CBO = new QComboBox;
    POS1CBO->setObjectName(QStringLiteral("POS1CBO"));
    POS2CBO = new QComboBox;
    POS2CBO->setObjectName(QStringLiteral("POS2CBO"));
    for (QComboBox* box : {POS1CBO, POS2CBO}) {
        box->setEditable(false);
        box->addItems(entries);
        box->setCurrentIndex(-1);
        box->setToolTip(blankingTip);
        box->setMaxVisibleItems(20);
    }

    LastPlayerCMD = new QPushButton(QStringLiteral("Make Last Player"));
    LastPlayerCMD->setObjectName(QStringLiteral("LastPlayerCMD"));
    LastPlayerCMD->setToolTip(
        QStringLiteral("Use this option to cut off the rest of the players after the selected "
                       "slot.  "));
    DummyCMD = new QPushButton(QStringLiteral("Uncoded Feature"));
    DummyCMD->setObjectName(QStringLiteral("DummyCMD"));
    DummyCMD->setEnabled(false);
}

// The two position boxes with the slot buttons below them.
QGroupBox* RosterEditor::createSelectionFrame() {
    auto* InfoFRA = new QFrame;
    InfoFRA->setObjectName(QStringLiteral("InfoFRA"));
    InfoFRA->setFrameShape(QFrame::StyledPanel);
    auto* infoLayout = new QHBoxLayout(InfoFRA);
    infoLayout->addWidget(LastPlayerCMD);
    infoLayout->addWidget(DummyCMD);

    auto* PlayerSelectFRA = new QGroupBox(QStringLiteral("Player Selection:"));
    PlayerSelectFRA->setObjectName(QStringLiteral("PlayerSelectFRA"));
    auto* selectLayout = new QVBoxLayout(PlayerSelectFRA);
    selectLayout->addWidget(new QLabel(QStringLiteral("Position #1:")));
    selectLayout->addWidget(POS1CBO);
    selectLayout->addWidget(new QLabel(QStringLiteral("Position #2:")));
    selectLayout->addWidget(POS2CBO);
    selectLayout->addWidget(InfoFRA);
    return PlayerSelectFRA;
}

// HEXLBL and DECLBL with their captions.
QGroupBox* RosterEditor::createOffsetFrame() {
    offsets_ = new OffsetLabels(
        this, platform_.clipboard, QStringLiteral("Copy Offset"), QStringLiteral("000000"),
        {{"HEXLBL", "DECLBL", "mnuTeamHEX", "Copy Team Data Hex Offset to Clipboard", "mnuTeamDEC",
          "Copy Team Data Decimal Offset to Clipboard"}});
    auto* HEXFRA = new QGroupBox(QStringLiteral("Offsets:"));
    HEXFRA->setObjectName(QStringLiteral("HEXFRA"));
    auto* offsetLayout = new QGridLayout(HEXFRA);
    offsetLayout->addWidget(new QLabel(QStringLiteral("Hex offset of selected team:")), 0, 0);
    offsetLayout->addWidget(offsets_->hexLabel(0), 0, 1);
    offsetLayout->addWidget(new QLabel(QStringLiteral("Decimal offset of selected team:")), 1, 0);
    offsetLayout->addWidget(offsets_->decimalLabel(0), 1, 1);
    return HEXFRA;
}

void RosterEditor::createLayout() {
    auto* InfoIMG = new QLabel;
    InfoIMG->setObjectName(QStringLiteral("InfoIMG"));
    InfoIMG->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    InfoIMG->setAlignment(Qt::AlignTop);
    auto* InfoLBL = new QLabel(QStringLiteral(
        "This edits the roster data as it sits in the default unedited ROM.  If any data has been "
        "moved/relocated or the 'expanded rosters bit' has been moved this editor will ignore "
        "this change.  For now..."));
    InfoLBL->setObjectName(QStringLiteral("InfoLBL"));
    InfoLBL->setWordWrap(true);

    ApplyCMD = new QPushButton(QStringLiteral("Apply"));
    ApplyCMD->setObjectName(QStringLiteral("ApplyCMD"));
    QuitCMD = new QPushButton(QStringLiteral("Cancel"));
    QuitCMD->setObjectName(QStringLiteral("QuitCMD"));
    for (QPushButton* button : {LastPlayerCMD, DummyCMD, ApplyCMD, QuitCMD}) {
        button->setAutoDefault(false);
    }

    // Never shown and never changed by the user; only its value is stored on Cancel.
    ViewExpandedRosterCHK = new QCheckBox(QStringLiteral("View Expanded Roster?"), this);
    ViewExpandedRosterCHK->setObjectName(QStringLiteral("ViewExpandedRosterCHK"));
    ViewExpandedRosterCHK->setChecked(false);
    ViewExpandedRosterCHK->setEnabled(false);
    ViewExpandedRosterCHK->hide();

    // TeamLST down the left, SlotLST beside it, the selection and offsets on the right.
    auto* rightColumn = new QVBoxLayout;
    rightColumn->addWidget(createSelectionFrame());
    rightColumn->addWidget(createOffsetFrame());
    rightColumn->addStretch();
    auto* topRow = new QHBoxLayout;
    topRow->addWidget(TeamLST);
    topRow->addWidget(SlotLST);
    topRow->addLayout(rightColumn);
    TeamLST->setFixedWidth(160);
    SlotLST->setFixedWidth(90);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ApplyCMD);
    buttons->addWidget(QuitCMD);
    auto* bottomRow = new QHBoxLayout;
    bottomRow->addWidget(InfoIMG);
    bottomRow->addWidget(InfoLBL, 1);
    bottomRow->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(topRow);
    layout->addWidget(separatorLine());
    layout->addWidget(separatorLine());
    layout->addLayout(bottomRow);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void RosterEditor::connectWidgets() {
    // A list acts when its selection changes (by mouse or keyboard, never by mere focus), and
    // also when the mouse clicks the entry that is already selected.
    connect(TeamLST, &QListWidget::itemSelectionChanged, this, [this] {
        selectionChangedByPress_ = true;
        TeamLST_Click();
    });
    connect(SlotLST, &QListWidget::itemSelectionChanged, this, [this] {
        selectionChangedByPress_ = true;
        SlotLST_Click();
    });
    connect(TeamLST, &QListWidget::itemClicked, this, [this] {
        if (!selectionChangedByPress_) {
            TeamLST_Click();
        }
    });
    connect(SlotLST, &QListWidget::itemClicked, this, [this] {
        if (!selectionChangedByPress_) {
            SlotLST_Click();
        }
    });
    TeamLST->viewport()->installEventFilter(this);
    SlotLST->viewport()->installEventFilter(this);
    connect(ApplyCMD, &QPushButton::clicked, this, &RosterEditor::SaveData);
    connect(LastPlayerCMD, &QPushButton::clicked, this, &RosterEditor::LastPlayerCMD_Click);
    connect(QuitCMD, &QPushButton::clicked, this, &RosterEditor::QuitCMD_Click);
}

bool RosterEditor::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == TeamLST->viewport() || watched == SlotLST->viewport()) &&
        event->type() == QEvent::MouseButtonPress) {
        selectionChangedByPress_ = false;  // the list handles the press after this
    }
    return QDialog::eventFilter(watched, event);
}

int RosterEditor::team() const {
    const QList<QListWidgetItem*> selected = TeamLST->selectedItems();
    return selected.isEmpty() ? -1 : TeamLST->row(selected.first());
}

int RosterEditor::slot() const {
    const QList<QListWidgetItem*> selected = SlotLST->selectedItems();
    return selected.isEmpty() ? -1 : SlotLST->row(selected.first());
}

void RosterEditor::setSlotShown(bool shown) {
    ApplyCMD->setEnabled(shown);
    LastPlayerCMD->setEnabled(shown);
}

void RosterEditor::reportFailure(const QString& text, const std::string& reason) {
    platform_.messages.show(this, MessageBoxes::Icon::Critical, windowTitle(), text,
                            QString::fromStdString(reason));
}

void RosterEditor::TeamLST_Click() {
    if (team() < 0) {
        setSlotShown(false);  // the selection was cleared (Ctrl+click)
        return;
    }
    {
        const QSignalBlocker blocker(SlotLST);
        SlotLST->setCurrentRow(0);
    }
    LoadRoster();
}

void RosterEditor::SlotLST_Click() {
    if (team() < 0 || slot() < 0) {
        setSlotShown(false);  // no team chosen yet, or the selection was cleared (Ctrl+click)
        return;
    }
    LoadRoster();
}

void RosterEditor::LoadRoster() {
    const int t = team();
    const int s = slot();
    showTeamOffset(t);  // also when the slot cannot be read: the offset is the selected team's
    const Status readable =
        session_.isOpen() ? session_.image().allows(Table::Rosters) : Status::failure("");
    Result<RosterSlot> codes =
        readable ? readSlot(session_.image().rom(), t, s) : Result<RosterSlot>(readable);
    if (!codes) {
        {
            const QSignalBlocker block1(POS1CBO);
            const QSignalBlocker block2(POS2CBO);
            POS1CBO->setCurrentIndex(-1);
            POS2CBO->setCurrentIndex(-1);
        }
        setSlotShown(false);
        reportFailure(QStringLiteral("The roster slot could not be read."), codes.error());
        return;
    }
    {
        const QSignalBlocker block1(POS1CBO);
        const QSignalBlocker block2(POS2CBO);
        POS1CBO->setCurrentIndex(codes->position1);
        POS2CBO->setCurrentIndex(codes->position2);
    }
    setSlotShown(true);
}

void RosterEditor::showTeamOffset(int t) {
    offsets_->show(0, teamOffset(t), session_.isOpen() ? session_.image().rom().headerSize() : 0);
}

void RosterEditor::SaveData() {
    if (POS1CBO->currentIndex() < 0 || POS2CBO->currentIndex() < 0) {
        return;  // no slot shown yet
    }
    const RosterSlot codes{static_cast<std::uint8_t>(POS1CBO->currentIndex()),
                           static_cast<std::uint8_t>(POS2CBO->currentIndex())};
    const std::string label = "Apply to " + TeamLST->item(team())->text().toStdString() + " " +
                              SlotLST->item(slot())->text().toStdString();
    if (Status status = save(saveSlot(label, team(), slot(), codes)); !status) {
        reportFailure(QStringLiteral("The roster slot could not be saved."), status.message());
    }
}

void RosterEditor::LastPlayerCMD_Click() {
    const int t = team();
    const int s = slot();
    if (!isRosterTeam(t) || !isRosterSlot(s)) {
        return;
    }
    if (!askMakeLastPlayer(platform_.messages, this)) {
        return;
    }
    {
        const QSignalBlocker block1(POS1CBO);
        const QSignalBlocker block2(POS2CBO);
        POS1CBO->setCurrentIndex(kEndOfRosterCode);
        POS2CBO->setCurrentIndex(0);
    }
    if (Status status = save(endRosterAt(t, s)); !status) {
        reportFailure(QStringLiteral("The roster could not be ended at this slot."),
                      status.message());
    }
}

void RosterEditor::QuitCMD_Click() {
    UserSettings(platform_.settings).setShowExpandedData(ViewExpandedRosterCHK->isChecked());
    reject();
}

}  // namespace slamwise
