#include "cheats/CheatsDialog.h"

namespace slamwise {

CheatsDialog::CheatsDialog(RomFile&, Platform, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Cheats"));
    setWindowTitle(QStringLiteral("Enable Cheat Codes"));
}

}  // namespace slamwise
