#pragma once

#include <QWidget>
#include <array>
#include <memory>
#include <optional>

#include "platform/Platform.h"
#include "game/PlayerEdit.h"
#include "player/RatingsForm.h"
#include "player/RelocationAction.h"
#include "game/Names.h"
#include "image/OpenedImage.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace slamwise {

class OffsetLabels;

// The player editing area of the main window: the player list, the frame MainFRA with the
// ratings form, the offsets and the relocation controls, and the bottom row (note, Apply,
// Cancel). The main window owns the open file and tells this widget what happens to it; this
// class only wires its parts (RatingsForm, OffsetLabels, RelocationAction) to the image.
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

    // The player editor's part of closing: player 0 is shown (the file is still open), then
    // every field is reset, the editor disabled and the image let go.
    void ResetAfterClose();

    // Apply and File > Save ROM: clamp, save the actual record, save the visual record.
    void SavePlayer();

    bool relocated() const;
    bool shutOff() const;

  signals:
    void rosterEditorRequested();  // "Roster Editor" clicked
    void quitRequested();          // "Cancel" clicked

  private:
    void createWidgets(const GameNames& names);
    void createButtons();
    void createLayout();
    void connectWidgets();

    // Handlers.
    void PlayerLST_Click();
    void RelocateVisualCMD_Click();

    // Shows the selected player's records in the form.
    void LoadPlayerData();

    // Helpers.
    bool playerDataAvailable() const;
    int selectedPlayer() const;
    void showOffsets(int player);
    void setEditingEnabled(bool enabled);
    // Every field shows number, the slider sits at 0, no option button is selected and the
    // offset labels show offset: the state after a close ("0") or a shut-off (empty).
    void resetFields(const QString& number, const QString& offset);
    void reportFailure(const QString& title, const Status& status);

    Platform platform_;
    OpenedImage* image_ = nullptr;
    bool shutOff_ = false;
    RelocationAction relocation_;

    QListWidget* PlayerLST = nullptr;
    QGroupBox* MainFRA = nullptr;
    std::unique_ptr<RatingsForm> form_;  // the player's values inside MainFRA
    QLabel* HeadLBL = nullptr;
    QComboBox* HeadLST = nullptr;
    QPushButton* TeamEditCMD = nullptr;
    QPushButton* RelocateVisualCMD = nullptr;
    QCheckBox* RelocateVisualCHK = nullptr;
    QGroupBox* OffsetFRA = nullptr;
    OffsetLabels* offsets_ = nullptr;  // the visual and actual offsets with their copy menu
    std::array<QLabel*, 4> offsetCaptions_{};
    QLabel* InfoIMG = nullptr;
    QLabel* InfoLBL = nullptr;
    QPushButton* ApplyCMD = nullptr;
    QPushButton* QuitCMD = nullptr;
};

}  // namespace slamwise
