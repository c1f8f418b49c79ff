#include "roster/RosterEditor.h"

namespace slamwise {

RosterEditor::RosterEditor(RomFile&, Platform, const GameNames&, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("RosterEditor"));
    setWindowTitle(QStringLiteral("Team Roster Editor"));
}

}  // namespace slamwise
