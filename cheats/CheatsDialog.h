#pragma once

#include <QDialog>

#include "platform/Platform.h"
#include "rom/RomFile.h"

namespace slamwise {

// "Enable Cheat Codes": the sixteen cheat switches of the two cheat bytes.
class CheatsDialog : public QDialog {
    Q_OBJECT
  public:
    CheatsDialog(RomFile& rom, Platform platform, QWidget* parent = nullptr);
};

}  // namespace slamwise
