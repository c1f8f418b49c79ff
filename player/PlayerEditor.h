#pragma once

#include <QWidget>
#include <array>
#include <memory>
#include <optional>

#include "platform/Platform.h"
#include "player/RatingsForm.h"
#include "ui/ImageSession.h"

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
// Cancel). It wires its parts (RatingsForm, OffsetLabels) to the image session.
class PlayerEditor : public QWidget {
    Q_OBJECT
  public:
    // The area follows the session: it fills itself when an image is opened, shows what the file
    // holds after a write made elsewhere (an undo, a redo, a patch, another window), and empties
    // itself when the image is closed.
    PlayerEditor(ImageSession& session, Platform platform, QWidget* parent = nullptr);

    // Gives PlayerLST the keyboard focus, so the arrow keys pick players.
    void focusPlayerList();

    // Apply and File > Save ROM: clamp, save the actual record, save the visual record. Images
    // without player data never get player data written.
    void SavePlayer();

    bool relocated() const;

  signals:
    void rosterEditorRequested();  // "Roster Editor" clicked
    void quitRequested();          // "Cancel" clicked

  private:
    void createWidgets(const GameNames& names);
    void createButtons();
    void createLayout();
    void connectWidgets();

    // What the session tells.
    void showOpenedImage();
    void showWrittenImage();
    void showNames();

    // The steps of an opening, in this order.
    void ClearRelocationFlag();
    void EnableEditingControls();
    void ShutOffPlayerEditor();
    // The player editor's part of the shut-off, without its notice.
    void switchOff();
    void CheckRelocatedData();
    void SelectFirstPlayer();
    // The player editor's part of closing: player 0 is shown (the file is still open), then
    // every field is reset and the editor disabled.
    void ResetAfterClose();

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
    // Writes through the session; the area's own write does not reload the form.
    Status save(const Action& action);
    Status commit(const Applied& applied);

    ImageSession& session_;
    Platform platform_;
    bool shutOff_ = false;
    bool saving_ = false;  // while the area's own write is under way

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
