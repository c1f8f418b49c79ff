#pragma once

#include <QWidget>
#include <optional>

#include "platform/Platform.h"
#include "rom/Identify.h"
#include "rom/Names.h"
#include "rom/RomFile.h"

namespace slamwise {

// The player editing area of the main window: the player list, the frame MainFRA with the
// ratings, attributes, offsets and relocation controls, and the bottom row (note, Apply,
// Cancel). The main window owns the open file and tells this widget what happens to it.
class PlayerEditor : public QWidget {
    Q_OBJECT
  public:
    PlayerEditor(Platform platform, const GameNames& names, QWidget* parent = nullptr);

    // The open image, or nullptr while none is open. Not owned.
    void setRom(RomFile* rom);
    // The identified release of the open image; nothing before the first identification.
    void setRelease(std::optional<Release> release);

    // The steps of an opening, in the order the main window runs them.
    void EnableEditingControls();
    void ClearRelocationFlag();
    void ShutOffPlayerEditor();
    void CheckRelocatedData();
    void SelectFirstPlayer();

    // Steps 4 to 6 of closing: player 0 is shown (the file is still open), then every field is
    // reset and the editor disabled.
    void ResetAfterClose();

    // Apply and File > Save ROM: clamp, save the actual record, save the visual record.
    void SavePlayer();

    bool relocated() const;
    bool shutOff() const;

  signals:
    void rosterEditorRequested();  // "Roster Editor" clicked
    void quitRequested();          // "Cancel" clicked
};

}  // namespace slamwise
