#pragma once

#include <QWidget>
#include <array>
#include <optional>

#include "platform/Platform.h"
#include "player/PlayerEdit.h"
#include "rom/Names.h"
#include "rom/OpenedImage.h"

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QRadioButton;
class QSlider;

namespace slamwise {

// The player editing area of the main window: the player list, the frame MainFRA with the
// ratings, attributes, offsets and relocation controls, and the bottom row (note, Apply,
// Cancel). The main window owns the open file and tells this widget what happens to it.
class PlayerEditor : public QWidget {
    Q_OBJECT
  public:
    PlayerEditor(Platform platform, const GameNames& names, QWidget* parent = nullptr);

    // The open image, or nullptr while none is open. Not owned.
    void setImage(OpenedImage* image);
    // New display names for PlayerLST and HeadLST; the selections stay.
    void setNames(const GameNames& names);

    // The steps of an opening, in the order the main window runs them.
    void EnableEditingControls();
    void ClearRelocationFlag();
    void ShutOffPlayerEditor();
    // The player editor's part of the shut-off, without its notice.
    void switchOff();
    void CheckRelocatedData();
    void SelectFirstPlayer();
    // Gives PlayerLST the keyboard focus, so the arrow keys pick players.
    void focusPlayerList();
    // Shows again what the file holds for the selected player and the relocation (after an undo
    // or a redo).
    void showSelectedPlayer();

    // Steps 4 to 6 of closing: player 0 is shown (the file is still open), then every field is
    // reset, the editor disabled and the image let go.
    void ResetAfterClose();

    // Apply and File > Save ROM: clamp, save the actual record, save the visual record.
    void SavePlayer();

    bool relocated() const;
    bool shutOff() const;

  signals:
    void rosterEditorRequested();  // "Roster Editor" clicked
    void quitRequested();          // "Cancel" clicked

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct RatingBox {
        QLineEdit* box;
        QString caption;  // the label's text without the colon, for messages
    };

    void createWidgets(const GameNames& names);
    void createLayout();
    void connectWidgets();

    // Handlers.
    void PlayerLST_Click();
    void ApplyCMD_Click();
    void RelocateVisualCMD_Click();
    void AISLDR_Change();
    void copyOffset(QLabel* decimalLabel, bool hex);

    // Moving values between the controls and the records.
    void LoadPlayerData();
    void GetSpeed(const Player& player);
    void GetThree(const Player& player);
    void GetArtificialIntelligence(const Player& player);
    void GetSkin(const Player& player);
    void Set10();
    // The save of the boxes and buttons: every rating (the visual record of the layout in use
    // gets them too), the AI setting, and the skin and height when a button is selected.
    PlayerEdit SavePlayerData(int player) const;
    std::optional<Skin> SetSkin() const;
    void RelocateVisualData();

    // Helpers.
    bool playerDataAvailable() const;
    int selectedPlayer() const;
    QStringList emptyRatingBoxes() const;
    void showOffsets(int player);
    // The tooltips of the four offset labels, with the file offsets behind a copier header.
    void setOffsetToolTips(std::uint32_t visual, std::uint32_t actual, std::uint32_t headerSize);
    void setEditingEnabled(bool enabled);
    // Every field shows number, the slider sits at 0, no option button is selected and the
    // offset labels show offset: the state after a close ("0") or a shut-off (empty).
    void resetFields(const QString& number, const QString& offset);
    void clearOptionButtons();
    void reportFailure(const QString& title, const Status& status);

    Platform platform_;
    OpenedImage* image_ = nullptr;
    bool shutOff_ = false;
    bool relocating_ = false;

    QListWidget* PlayerLST = nullptr;
    QGroupBox* MainFRA = nullptr;
    QLineEdit* PlayerValueTXT = nullptr;
    QLabel* PlayerValueLBL = nullptr;
    QLabel* NameLBL = nullptr;
    QLineEdit* SPEEDTXT = nullptr;
    QLineEdit* THREETXT = nullptr;
    QLineEdit* DUNKTXT = nullptr;
    QLineEdit* PASSTXT = nullptr;
    QLineEdit* POWERTXT = nullptr;
    QLineEdit* STEALTXT = nullptr;
    QLineEdit* BLOCKTXT = nullptr;
    QLineEdit* DIRKTXT = nullptr;
    std::array<RatingBox, 8> ratingBoxes_{};  // in the order the clamp runs
    std::array<QLabel*, 7> ratingLabels_{};   // captions of the boxes after SPEEDTXT
    QGroupBox* HeightFRA = nullptr;
    QRadioButton* TallOPT = nullptr;
    QRadioButton* ShortOPT = nullptr;
    QButtonGroup* heightGroup_ = nullptr;
    QGroupBox* SkinFRA = nullptr;
    QRadioButton* BlackUOPT = nullptr;
    QRadioButton* BlackOPT = nullptr;
    QRadioButton* WhiteOPT = nullptr;
    QButtonGroup* skinGroup_ = nullptr;
    QLabel* HeadLBL = nullptr;
    QComboBox* HeadLST = nullptr;
    QLabel* AICaptionLBL = nullptr;
    QSlider* AISLDR = nullptr;
    QLabel* AILBL = nullptr;
    QPushButton* TeamEditCMD = nullptr;
    QPushButton* RelocateVisualCMD = nullptr;
    QCheckBox* RelocateVisualCHK = nullptr;
    QGroupBox* OffsetFRA = nullptr;
    QLabel* VisualHEXLBL = nullptr;
    QLabel* VisualDECLBL = nullptr;
    QLabel* ActualHEXLBL = nullptr;
    QLabel* ActualDECLBL = nullptr;
    std::array<QLabel*, 4> offsetCaptions_{};
    QLabel* InfoIMG = nullptr;
    QLabel* InfoLBL = nullptr;
    QPushButton* ApplyCMD = nullptr;
    QPushButton* QuitCMD = nullptr;
    QMenu* mnuCopyParent = nullptr;
    QAction* mnuCopyVisualHEX = nullptr;
    QAction* mnuCopyVisualDEC = nullptr;
    QAction* mnuCopyActualHEX = nullptr;
    QAction* mnuCopyActualDEC = nullptr;
};

}  // namespace slamwise
