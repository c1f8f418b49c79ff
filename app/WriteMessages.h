#pragma once

#include <QObject>
#include <QString>

#include "ui/ImageSession.h"

class QMainWindow;

namespace slamwise {

// What was written, in the words of the Edit menu: "Applied to Player 037", "Relocated the
// visual table", "Undid Cheat Codes", "Redid Apply Patch". An action unknown here reads
// "Wrote <label>".
QString writeMessage(const QString& label, ImageSession::Step step);

// Shows writeMessage in the window's status bar for a few seconds after every write of the
// session that went through, whichever window made it.
class WriteMessages : public QObject {
    Q_OBJECT
  public:
    static constexpr int kShownFor = 5000;  // milliseconds

    WriteMessages(QMainWindow* window, ImageSession& session);
};

}  // namespace slamwise
