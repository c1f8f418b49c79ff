#pragma once

#include <QDialog>

#include "platform/Platform.h"
#include "rom/Names.h"
#include "rom/RomFile.h"

namespace slamwise {

// "Team Roster Editor": the two entry codes of each slot of the 29 team rosters.
class RosterEditor : public QDialog {
    Q_OBJECT
  public:
    RosterEditor(RomFile& rom, Platform platform, const GameNames& names,
                 QWidget* parent = nullptr);
};

}  // namespace slamwise
