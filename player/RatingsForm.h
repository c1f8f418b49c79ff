#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

#include "game/PlayerEdit.h"

class QButtonGroup;
class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSlider;
class QWidget;

namespace slamwise {

// The controls of one player in the player window: the player value, the eight rating boxes,
// the height and skin buttons and the AI slider. It shows a decoded Player and turns what the
// user typed back into a PlayerEdit; the window places the controls and reads the records.
class RatingsForm {
  public:
    // The controls are children of frame.
    explicit RatingsForm(QWidget* frame);

    // The value box and the eight ratings, row by row, each with its caption.
    QGridLayout* createRatingGrid(int boxWidth) const;
    QGroupBox* heightFrame() const { return HeightFRA; }
    QGroupBox* skinFrame() const { return SkinFRA; }
    QLabel* aiCaption() const { return AICaptionLBL; }
    // The AI slider with its number beside it.
    QHBoxLayout* createAiRow() const;

    void show(const Player& player);
    // Every rating above 10 is set to 10, as a save does.
    void clampToTen();
    // The captions of the boxes that hold no rating from 0 to 10.
    QStringList emptyRatingBoxes() const;
    // What a save writes: every rating, the AI setting, and the skin and height when a button is
    // selected.
    PlayerEdit edit(int player) const;

    // Every field shows number, the slider sits at 0 and no option button is selected.
    void reset(const QString& number);
    void setEnabled(bool enabled);

  private:
    struct RatingBox {
        QLineEdit* box;
        QLabel* label;
        QString caption;  // the label's text without the colon, for messages
    };

    void createRatingBoxes(QWidget* frame);
    void createOptionButtons(QWidget* frame);
    void createAiSlider(QWidget* frame);
    void showAi(int ai);
    void showSkin(std::optional<Skin> skin);
    std::optional<Skin> selectedSkin() const;

    QLineEdit* PlayerValueTXT = nullptr;
    QLabel* PlayerValueLBL = nullptr;
    std::array<RatingBox, kRatingCount> ratingBoxes_{};  // in Rating order, as the clamp runs
    QGroupBox* HeightFRA = nullptr;
    QRadioButton* TallOPT = nullptr;
    QRadioButton* ShortOPT = nullptr;
    QButtonGroup* heightGroup_ = nullptr;
    QGroupBox* SkinFRA = nullptr;
    QRadioButton* BlackUOPT = nullptr;
    QRadioButton* BlackOPT = nullptr;
    QRadioButton* WhiteOPT = nullptr;
    QButtonGroup* skinGroup_ = nullptr;
    QLabel* AICaptionLBL = nullptr;
    QSlider* AISLDR = nullptr;
    QLabel* AILBL = nullptr;
};

}  // namespace slamwise
