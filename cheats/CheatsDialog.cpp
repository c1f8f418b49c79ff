#include "cheats/CheatsDialog.h"

#include <algorithm>

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include "game/CheatBytes.h"
#include "ui/UndoKeys.h"

namespace slamwise {

namespace {

QString text(std::string_view view) {
    return QString::fromUtf8(view.data(), static_cast<qsizetype>(view.size()));
}

QListWidget* cheatList(const char* name,
                       const std::array<std::string_view, kCheatsPerByte>& entries) {
    auto* list = new QListWidget;
    list->setObjectName(QString::fromLatin1(name));
    for (std::string_view entry : entries) {
        auto* item = new QListWidgetItem(text(entry), list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    // Tall and wide enough for all eight entries, no scrolling.
    list->setFixedHeight(list->sizeHintForRow(0) * kCheatsPerByte + 2 * list->frameWidth() + 4);
    list->setMinimumWidth(list->sizeHintForColumn(0) + 2 * list->frameWidth() + 4);
    return list;
}

QLabel* namedLabel(const QString& name, const QString& caption) {
    auto* label = new QLabel(caption);
    label->setObjectName(name);
    return label;
}

// The smallest screen the window must fit on: 1280 by 800 pixels.
constexpr int kScreenHeight = 800;

// "Cheat definitions:": the texts wrap at about 60 characters, and scroll when the window is
// made smaller than they need. height is set to the frame's height with no scrolling.
QGroupBox* definitionsFrame(const QFontMetrics& metrics, int& height) {
    auto* frame = new QGroupBox(QStringLiteral("Cheat definitions:"));
    frame->setObjectName(QStringLiteral("Frame2"));
    auto* texts = new QWidget;
    auto* definitions = new QVBoxLayout(texts);
    definitions->setContentsMargins(0, 0, 0, 0);
    for (std::size_t i = 0; i < kCheatDefinitions.size(); ++i) {
        auto* definition =
            namedLabel(QStringLiteral("Label%1").arg(i + 2), text(kCheatDefinitions[i]));
        definition->setWordWrap(true);
        definitions->addWidget(definition);
    }
    definitions->addStretch();
    auto* scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("DefinitionsScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidgetResizable(true);
    scroll->setWidget(texts);
    scroll->setMinimumWidth(metrics.averageCharWidth() * 60);
    const int textHeight = texts->heightForWidth(scroll->minimumWidth());
    scroll->setMinimumHeight(std::min(textHeight, metrics.height() * 8));
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(scroll);
    height = frame->minimumSizeHint().height() - scroll->minimumHeight() + textHeight;
    return frame;
}

}  // namespace

CheatsDialog::CheatsDialog(ImageSession& session, Platform platform, QWidget* parent)
    : QDialog(parent), session_(session), platform_(platform) {
    setObjectName(QStringLiteral("Cheats"));
    setWindowTitle(QStringLiteral("Enable Cheat Codes"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    createWidgets();
    connect(ApplyCMD, &QPushButton::clicked, this, &CheatsDialog::SaveCheatCodes);
    connect(QuitCMD, &QPushButton::clicked, this, &CheatsDialog::reject);
    GetCheatCodes();
    new UndoKeys(this, session_, platform_.messages);
    // After a write made elsewhere (an undo or a redo) the ticks show what the file holds; the
    // window's own Apply leaves them as the user set them.
    connect(&session_, &ImageSession::written, this, [this] {
        if (!saving_) {
            GetCheatCodes();
        }
    });
}

void CheatsDialog::createWidgets() {
    Cheat1LST = cheatList("Cheat1LST", kCheat1Entries);
    Cheat2LST = cheatList("Cheat2LST", kCheat2Entries);

    auto* Image1 = new QLabel;
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(style()->standardIcon(QStyle::SP_DialogApplyButton).pixmap(48, 48));
    Image1->setAlignment(Qt::AlignCenter);

    auto* InfoIMG = new QLabel;
    InfoIMG->setObjectName(QStringLiteral("InfoIMG"));
    InfoIMG->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    auto* Frame3 = new QGroupBox(QStringLiteral("Information:"));
    Frame3->setObjectName(QStringLiteral("Frame3"));
    auto* infoLayout = new QHBoxLayout(Frame3);
    infoLayout->addWidget(InfoIMG);
    auto* Label18 = namedLabel(QStringLiteral("Label18"), text(kCheatNote));
    Label18->setWordWrap(true);
    infoLayout->addWidget(Label18, 1);

    int definitionsHeight = 0;  // Frame2 with all of its text shown
    auto* Frame2 = definitionsFrame(fontMetrics(), definitionsHeight);

    auto* InfoLBL = namedLabel(QStringLiteral("InfoLBL"),
                               QStringLiteral("There are a few other cheat codes that are "
                                              "undocumented that are not added as of yet.  "));
    InfoLBL->setWordWrap(true);
    ApplyCMD = new QPushButton(QStringLiteral("Apply"));
    ApplyCMD->setObjectName(QStringLiteral("ApplyCMD"));
    QuitCMD = new QPushButton(QStringLiteral("Cancel"));
    QuitCMD->setObjectName(QStringLiteral("QuitCMD"));
    ApplyCMD->setAutoDefault(false);
    QuitCMD->setAutoDefault(false);

    // Left column: the two lists, the note and the buttons; right: the definitions.
    auto* lists = new QHBoxLayout;
    lists->addWidget(Cheat1LST);
    lists->addWidget(Cheat2LST);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ApplyCMD);
    buttons->addWidget(QuitCMD);
    auto* left = new QVBoxLayout;
    left->addWidget(namedLabel(QStringLiteral("Label1"), QStringLiteral("Select Cheat Codes:")));
    left->addLayout(lists);
    left->addWidget(Frame3);
    left->addWidget(Image1);
    left->addWidget(InfoLBL);
    left->addStretch();
    left->addLayout(buttons);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addWidget(Frame2, 1);
    // All the definitions shown, when the screen has room for them.
    const int height =
        std::max(layout->minimumSize().height(), definitionsHeight + 4 * fontMetrics().height());
    resize(layout->minimumSize().width(), std::min(height, kScreenHeight - 40));
}

void CheatsDialog::GetCheatCodes() {
    if (!session_.isOpen()) {
        return;
    }
    const Status readable = session_.image().allows(Table::Cheats);
    Result<CheatBytes> bytes =
        readable ? readCheatBytes(session_.image().rom()) : Result<CheatBytes>(readable);
    if (!bytes) {
        // Applying ticks that were never read would overwrite the switches blindly.
        ApplyCMD->setEnabled(false);
        readFailure_ = QString::fromStdString(bytes.error());  // told once the window is up
        return;
    }
    UnpackCheatList(bytes->first, *Cheat1LST);
    UnpackCheatList(bytes->second, *Cheat2LST);
    Cheat1LST->setCurrentRow(0);
    Cheat2LST->setCurrentRow(0);
    Cheat1LST->viewport()->update();
    Cheat2LST->viewport()->update();
}

void CheatsDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!readFailure_) {
        return;
    }
    // After the window has been shown with the caption it was given.
    QTimer::singleShot(0, this, [this, reason = *readFailure_] {
        platform_.messages.show(this, MessageBoxes::Icon::Critical, windowTitle(),
                                QStringLiteral("The cheat codes could not be read."), reason);
    });
    readFailure_.reset();
}

void CheatsDialog::SaveCheatCodes() {
    saving_ = true;
    Status status =
        session_.apply(saveCheats({PackCheatList(*Cheat1LST), PackCheatList(*Cheat2LST)})).status();
    saving_ = false;
    if (!status) {
        platform_.messages.show(this, MessageBoxes::Icon::Critical, windowTitle(),
                                QStringLiteral("The cheat codes could not be saved."),
                                QString::fromStdString(status.message()));
    }
}

std::uint8_t CheatsDialog::PackCheatList(const QListWidget& list) {
    CheatList ticks{};
    for (int i = 0; i < kCheatsPerByte; ++i) {
        ticks[static_cast<std::size_t>(i)] = list.item(i)->checkState() == Qt::Checked;
    }
    return packCheatList(ticks);
}

void CheatsDialog::UnpackCheatList(std::uint8_t byte, QListWidget& list) {
    const CheatList ticks = unpackCheatList(byte);
    for (int i = 0; i < kCheatsPerByte; ++i) {
        list.item(i)->setCheckState(ticks[static_cast<std::size_t>(i)] ? Qt::Checked
                                                                       : Qt::Unchecked);
    }
}

}  // namespace slamwise
