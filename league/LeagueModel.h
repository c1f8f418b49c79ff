#pragma once

#include <QAbstractTableModel>
#include <QString>

#include "image/Action.h"
#include "storage/Result.h"

namespace slamwise {

class ImageSession;

// What a league window needs of its table: the file's values with the user's unapplied
// changes over them, and the one action that applies them all.
class LeagueModel : public QAbstractTableModel {
  public:
    using QAbstractTableModel::QAbstractTableModel;

    // The sort key of a cell (a number, or a name), and its text without marks (for copying).
    static constexpr int kSortRole = Qt::UserRole;
    static constexpr int kPlainRole = Qt::UserRole + 1;

    // Reads the table again from the open image; the unapplied changes stay.
    virtual Status reload(const ImageSession& session) = 0;
    // How many records (players, slots) have unapplied changes.
    virtual int changedCount() const = 0;
    // "12 players", "1 roster slot": the changed records, for the closing question.
    virtual QString countText(int count) const = 0;
    // Every unapplied change as one action.
    virtual Action applyAction() const = 0;
    // Drops every unapplied change.
    virtual void dropChanges() = 0;
};

}  // namespace slamwise
