#pragma once

#include <QWidget>

#include "league/LeagueModel.h"
#include "platform/Platform.h"
#include "platform/UserSettings.h"
#include "ui/ImageSession.h"

class QPushButton;
class QTableView;
class QVBoxLayout;

namespace slamwise {

// What the two league windows share: a table over a LeagueModel, "Apply" and "Revert", the
// question about unapplied changes on closing, the remembered size and column widths, and
// following the session (a write made elsewhere shows at once; the window closes with the
// image). The window is not modal; it deletes itself when closed.
class LeagueWindow : public QWidget {
    Q_OBJECT
  public:
    struct Names {
        const char* window;  // objectName of the window and its prefix: "Players"
        const char* table;   // "PlayersTBL"
        QString title;
        UserSettings::TableWindow settings;
    };
    LeagueWindow(ImageSession& session, Platform platform, LeagueModel* model, const Names& names,
                 QWidget* parent);

    // Writes every unapplied change as one change; false (with a message) when it failed.
    bool applyChanges();
    void revertChanges();

  signals:
    void changesChanged();

  protected:
    void closeEvent(QCloseEvent* event) override;
    // Reads the table again; a failure is shown (the table keeps what it showed).
    void reload();
    // Tells the user of a failure, with the reason below.
    void reportFailure(const QString& text, const Status& status);
    // Writes through the session; the window's own write does not reload the table.
    Status save(const Action& action);
    // Lays out the table under the given widgets and above the buttons; restores the column
    // widths remembered (the model's columns must be known by then).
    void finishLayout(QWidget* above, const QList<QPushButton*>& moreButtons);

    ImageSession& session_;
    Platform platform_;
    LeagueModel* model_;
    QTableView* table_ = nullptr;
    QPushButton* applyButton_ = nullptr;
    QPushButton* revertButton_ = nullptr;

  private:
    void showChangeState();
    void imageClosing();
    void rememberLayout();

    Names names_;
    bool saving_ = false;  // while this window's own write is under way
    bool closing_ = false;
};

}  // namespace slamwise
