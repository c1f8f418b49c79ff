#pragma once

#include <QDialog>
#include <cstdint>
#include <optional>

#include "platform/Platform.h"
#include "ui/ImageSession.h"

class QListWidget;
class QPushButton;

namespace slamwise {

// "Enable Cheat Codes": the sixteen cheat switches of the two cheat bytes, as two lists of
// eight tick boxes. Opening reads both bytes; "Apply" writes both; "Cancel" writes nothing.
class CheatsDialog : public QDialog {
    Q_OBJECT
  public:
    // The window follows the session: after every write it shows the bytes the file holds.
    CheatsDialog(ImageSession& session, Platform platform, QWidget* parent = nullptr);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void createWidgets();

    // Reads the two bytes and ticks the lists from them.
    void GetCheatCodes();
    // Writes the ticks of both lists as the two bytes.
    void SaveCheatCodes();
    static std::uint8_t PackCheatList(const QListWidget& list);
    static void UnpackCheatList(std::uint8_t byte, QListWidget& list);

    ImageSession& session_;
    Platform platform_;

    QListWidget* Cheat1LST = nullptr;
    QListWidget* Cheat2LST = nullptr;
    QPushButton* ApplyCMD = nullptr;
    QPushButton* QuitCMD = nullptr;
    // Why the bytes could not be read at opening; told when the window is first shown.
    std::optional<QString> readFailure_;
    bool saving_ = false;  // while this window's own write is under way
};

}  // namespace slamwise
