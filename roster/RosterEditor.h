#pragma once

#include <QDialog>

#include "platform/Platform.h"
#include "ui/ImageSession.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QListWidget;
class QPushButton;

namespace slamwise {

class OffsetLabels;

// "Team Roster Editor": the two entry codes of each slot of the 29 team rosters.
//
// The window keeps no data of its own: the team is the selection of TeamLST, the slot that of
// SlotLST, and the codes to write are the selections of POS1CBO and POS2CBO. Every opening is
// a fresh dialog with nothing selected. "Apply" and "Make Last Player" stay disabled until a
// slot has been shown, so nothing is ever read or written outside the roster table.
class RosterEditor : public QDialog {
    Q_OBJECT
  public:
    // The window follows the session: a write made elsewhere (an undo or a redo) shows at once.
    RosterEditor(ImageSession& session, Platform platform, QWidget* parent = nullptr);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void createWidgets(const GameNames& names);
    QGroupBox* createSelectionFrame();
    QGroupBox* createOffsetFrame();
    // The frames, the note and the buttons in place.
    void createLayout();
    void connectWidgets();

    void TeamLST_Click();
    void SlotLST_Click();
    void LastPlayerCMD_Click();
    void QuitCMD_Click();

    // Shows again what the file holds for the selected slot, after a write made elsewhere.
    void refresh();
    // Writes through the session; the window's own write does not refresh it.
    Status save(const Action& action);

    // Shows the selected slot of the selected team.
    void LoadRoster();
    // Writes the two selected codes into the selected slot.
    void SaveData();

    int team() const;
    int slot() const;
    void setSlotShown(bool shown);
    // HEXLBL and DECLBL show the offset of team t, their tooltips also its file offset.
    void showTeamOffset(int t);
    void reportFailure(const QString& text, const std::string& reason);

    ImageSession& session_;
    Platform platform_;

    QListWidget* TeamLST = nullptr;
    QListWidget* SlotLST = nullptr;
    QComboBox* POS1CBO = nullptr;
    QComboBox* POS2CBO = nullptr;
    QPushButton* LastPlayerCMD = nullptr;
    QPushButton* DummyCMD = nullptr;
    OffsetLabels* offsets_ = nullptr;  // HEXLBL and DECLBL with their copy menu
    QPushButton* ApplyCMD = nullptr;
    QPushButton* QuitCMD = nullptr;
    QCheckBox* ViewExpandedRosterCHK = nullptr;

    // Whether the current mouse press on a list changed its selection (and so already acted).
    bool selectionChangedByPress_ = false;
    bool saving_ = false;  // while this window's own write is under way
};

}  // namespace slamwise
