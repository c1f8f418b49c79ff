#include "player/RatingsForm.h"

#include "game/PlayerGrid.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>

namespace slamwise {

namespace {

// Users type at most two digits, but a stored byte above 99 is shown whole (a save clamps it
// to 10 like any rating above 10).
void showPlainRating(QLineEdit* box, std::uint8_t value) {
    QString text = QString::number(value);
    box->setMaxLength(std::max(2, static_cast<int>(text.size())));
    box->setText(text);
}

QRadioButton* optionButton(const char* name, const QString& caption, QGroupBox* frame,
                           QButtonGroup* group) {
    auto* button = new QRadioButton(caption, frame);
    button->setObjectName(QString::fromLatin1(name));
    group->addButton(button);
    frame->layout()->addWidget(button);
    return button;
}

QGroupBox* optionFrame(const char* name, const QString& caption, QWidget* parent) {
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(QString::fromLatin1(name));
    new QVBoxLayout(frame);
    return frame;
}

}  // namespace

RatingsForm::RatingsForm(QWidget* frame) {
    PlayerValueLBL = new QLabel(QStringLiteral("Player Value:"), frame);
    PlayerValueLBL->setObjectName(QStringLiteral("PlayerValueLBL"));
    PlayerValueTXT = new QLineEdit(frame);
    PlayerValueTXT->setObjectName(QStringLiteral("PlayerValueTXT"));
    PlayerValueTXT->setMaxLength(3);
    PlayerValueTXT->setToolTip(QStringLiteral("Cannot edit this field."));
    PlayerValueTXT->setStyleSheet(QStringLiteral("background-color: palette(window);"));
    PlayerValueTXT->setEnabled(false);
    createRatingBoxes(frame);
    createOptionButtons(frame);
    createAiSlider(frame);
}

void RatingsForm::createRatingBoxes(QWidget* frame) {
    // objectNames of the box and its label, and the label's caption, in Rating order.
    const std::array<std::array<const char*, 3>, kRatingCount> ratings = {{
        {"SPEEDTXT", "NameLBL", "Speed Rating:"},
        {"THREETXT", "ThreeLBL", "3 Pointer Rating:"},
        {"DUNKTXT", "DunkLBL", "Dunk Rating:"},
        {"PASSTXT", "PassLBL", "Passing Rating:"},
        {"POWERTXT", "PowerLBL", "Power Rating:"},
        {"STEALTXT", "StealLBL", "Steal Rating:"},
        {"BLOCKTXT", "BlockLBL", "Block Rating:"},
        {"DIRKTXT", "ClutchLBL", "Clutch Rating:"},
    }};
    auto* digits =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,2}")), frame);
    for (std::size_t i = 0; i < ratings.size(); ++i) {
        auto* box = new QLineEdit(frame);
        box->setObjectName(QString::fromLatin1(ratings[i][0]));
        box->setMaxLength(2);
        box->setValidator(digits);
        const QString caption = QString::fromLatin1(ratings[i][2]);
        auto* label = new QLabel(caption, frame);
        label->setObjectName(QString::fromLatin1(ratings[i][1]));
        ratingBoxes_[i] = {box, label, caption.chopped(1)};
    }
}

void RatingsForm::createOptionButtons(QWidget* frame) {
    // The captions the players table shows too.
    auto caption = [](std::string_view text) {
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    };
    auto height = [&](Height value) { return caption(kHeightCaptions[std::size_t(value)]); };
    auto skin = [&](Skin value) { return caption(kSkinCaptions[std::size_t(value)]); };
    HeightFRA = optionFrame("HeightFRA", QStringLiteral("Height:"), frame);
    heightGroup_ = new QButtonGroup(frame);
    TallOPT = optionButton("TallOPT", height(Height::Normal), HeightFRA, heightGroup_);
    ShortOPT = optionButton("ShortOPT", height(Height::Small), HeightFRA, heightGroup_);

    SkinFRA = optionFrame("SkinFRA", QStringLiteral("Skin Tone:"), frame);
    skinGroup_ = new QButtonGroup(frame);
    BlackUOPT = optionButton("BlackUOPT", skin(Skin::BlackUnused), SkinFRA, skinGroup_);
    BlackOPT = optionButton("BlackOPT", skin(Skin::Black), SkinFRA, skinGroup_);
    WhiteOPT = optionButton("WhiteOPT", skin(Skin::White), SkinFRA, skinGroup_);
}

void RatingsForm::createAiSlider(QWidget* frame) {
    AICaptionLBL = new QLabel(QStringLiteral("Player AI Setting:"), frame);
    AICaptionLBL->setObjectName(QStringLiteral("AICaptionLBL"));
    AISLDR = new QSlider(Qt::Horizontal, frame);
    AISLDR->setObjectName(QStringLiteral("AISLDR"));
    AISLDR->setRange(kAiSliderMin, kAiSliderMax);
    AISLDR->setSingleStep(1);
    AISLDR->setPageStep(1);
    AISLDR->setTickPosition(QSlider::TicksBelow);
    AISLDR->setTickInterval(1);
    AILBL = new QLabel(QStringLiteral("0"), frame);
    AILBL->setObjectName(QStringLiteral("AILBL"));
    AILBL->setStyleSheet(QStringLiteral("font-weight: bold; color: blue;"));
    AILBL->setMinimumWidth(AILBL->fontMetrics().horizontalAdvance(QStringLiteral("000")));
    QObject::connect(AISLDR, &QSlider::valueChanged, AILBL,
                     [label = AILBL](int position) { label->setText(QString::number(position)); });
}

QGridLayout* RatingsForm::createRatingGrid(int boxWidth) const {
    auto* grid = new QGridLayout;
    grid->addWidget(PlayerValueLBL, 0, 0);
    grid->addWidget(PlayerValueTXT, 0, 1);
    PlayerValueTXT->setFixedWidth(boxWidth);
    for (std::size_t i = 0; i < ratingBoxes_.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        grid->addWidget(ratingBoxes_[i].label, row, 0);
        grid->addWidget(ratingBoxes_[i].box, row, 1);
        ratingBoxes_[i].box->setFixedWidth(boxWidth);
    }
    grid->setRowStretch(static_cast<int>(ratingBoxes_.size()) + 1, 1);
    return grid;
}

QHBoxLayout* RatingsForm::createAiRow() const {
    auto* row = new QHBoxLayout;
    row->addWidget(AISLDR, 1);
    row->addWidget(AILBL);
    return row;
}

void RatingsForm::show(const Player& player) {
    PlayerValueTXT->setText(QStringLiteral("$") + QString::number(player.value, 16).toUpper());
    for (std::size_t i = 0; i < ratingBoxes_.size(); ++i) {
        const std::optional<int> rating = player.ratings[i];
        const auto which = static_cast<Rating>(i);
        if (which == Rating::Speed || which == Rating::Three) {
            if (rating) {  // a value that does not decode leaves the box as it was
                ratingBoxes_[i].box->setText(QString::number(*rating));
            }
        } else {
            showPlainRating(ratingBoxes_[i].box, static_cast<std::uint8_t>(*rating));
        }
    }
    showAi(player.ai);
    showSkin(player.skin);
    if (player.height == Height::Normal) {
        TallOPT->setChecked(true);
    } else if (player.height == Height::Small) {
        ShortOPT->setChecked(true);
    }
}

void RatingsForm::showAi(int ai) {
    // A stored value the slider cannot show sits at its nearest end.
    const int position = std::clamp(ai, kAiSliderMin, kAiSliderMax);
    QSignalBlocker blocker(AISLDR);
    AISLDR->setValue(position);
    AILBL->setText(QString::number(position));
}

void RatingsForm::showSkin(std::optional<Skin> skin) {
    if (!skin) {
        return;
    }
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

void RatingsForm::clampToTen() {
    for (const RatingBox& rating : ratingBoxes_) {
        bool isNumber = false;
        const int value = rating.box->text().toInt(&isNumber);
        if (isNumber && value > kMaxRating) {
            rating.box->setText(QStringLiteral("10"));
        }
    }
}

QStringList RatingsForm::emptyRatingBoxes() const {
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

PlayerEdit RatingsForm::edit(int player) const {
    PlayerEdit edit;
    edit.player = player;
    for (std::size_t i = 0; i < ratingBoxes_.size(); ++i) {
        edit.ratings[i] = ratingBoxes_[i].box->text().toInt();
    }
    edit.ai = AISLDR->value();
    edit.skin = selectedSkin();
    if (TallOPT->isChecked()) {
        edit.height = Height::Normal;
    } else if (ShortOPT->isChecked()) {
        edit.height = Height::Small;
    }
    return edit;
}

std::optional<Skin> RatingsForm::selectedSkin() const {
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

void RatingsForm::reset(const QString& number) {
    PlayerValueTXT->setText(number);
    for (const RatingBox& rating : ratingBoxes_) {
        rating.box->setText(number);
    }
    {
        QSignalBlocker blocker(AISLDR);
        AISLDR->setValue(0);
    }
    AILBL->setText(number);
    for (QButtonGroup* group : {heightGroup_, skinGroup_}) {
        group->setExclusive(false);
        for (QAbstractButton* button : group->buttons()) {
            button->setChecked(false);
        }
        group->setExclusive(true);
    }
}

void RatingsForm::setEnabled(bool enabled) {
    for (QWidget* widget : std::initializer_list<QWidget*>{
             HeightFRA, SkinFRA, AISLDR, TallOPT, ShortOPT, BlackUOPT, BlackOPT, WhiteOPT}) {
        widget->setEnabled(enabled);
    }
    for (const RatingBox& rating : ratingBoxes_) {
        rating.box->setEnabled(enabled);
    }
}

}  // namespace slamwise
