#pragma once

#include "league/LeagueWindow.h"

class QLineEdit;
class QSortFilterProxyModel;

namespace slamwise {

class PlayersModel;

// "Players Table": every player in one table, sorted by any column and filtered by name or
// number; ratings, AI, height and skin edited in place, pasted from a spreadsheet or set for
// many cells at once, then applied as one change.
class PlayersTable : public LeagueWindow {
    Q_OBJECT
  public:
    PlayersTable(ImageSession& session, Platform platform, QWidget* parent = nullptr);

    // Ctrl+C: the selected cells as tab-separated text, with the header row when whole rows
    // are selected.
    void copySelection();
    // Ctrl+V: the tab-separated block on the clipboard, from the current cell on; nothing of it
    // is taken when any value does not fit its column.
    void paste();
    // "Set Selected...": one value, asked for, into every selected cell of one column.
    void setSelected();

  private:
    QString selectionText() const;
    void refuse(const QString& text, const QString& details = {});

    PlayersModel* players_;
    QSortFilterProxyModel* proxy_ = nullptr;
    QLineEdit* filter_ = nullptr;
};

}  // namespace slamwise
