#pragma once

#include <vector>

#include "game/Names.h"
#include "game/PlayerGrid.h"
#include "league/LeagueModel.h"

namespace slamwise {

// The players table: one row per player, the columns of PlayerGrid. Changed cells are bold and
// the row's number shows "*" until the changes are applied or dropped.
class PlayersModel : public LeagueModel {
  public:
    using LeagueModel::LeagueModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Takes a value of the column's range as a number (Qt::EditRole).
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    Status reload(const ImageSession& session) override;
    int changedCount() const override { return grid_.changedPlayers(); }
    QString countText(int count) const override;
    Action applyAction() const override;
    void dropChanges() override;

    // A value for each cell, already checked (readCell): all taken, one signal for them.
    struct Cell {
        int player;
        int column;
        int value;
    };
    void setCells(const std::vector<Cell>& cells);
    const PlayerGrid& grid() const { return grid_; }

  private:
    PlayerGrid grid_;
    GameNames names_;
    bool loaded_ = false;
};

}  // namespace slamwise
