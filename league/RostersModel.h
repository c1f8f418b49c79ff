#pragma once

#include <map>
#include <utility>
#include <vector>

#include "game/Names.h"
#include "game/RosterTable.h"
#include "league/LeagueModel.h"

namespace slamwise {

// Every roster: one row per team, one column per slot; a cell shows its two entry codes. Its
// value (Qt::EditRole) is Position #1 times 256 plus Position #2.
class RostersModel : public LeagueModel {
  public:
    using LeagueModel::LeagueModel;

    static int valueOf(RosterSlot codes) { return codes.position1 * 256 + codes.position2; }
    static RosterSlot codesOf(int value) {
        return {static_cast<std::uint8_t>(value / 256), static_cast<std::uint8_t>(value % 256)};
    }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    Status reload(const ImageSession& session) override;
    int changedCount() const override { return static_cast<int>(pending_.size()); }
    QString countText(int count) const override;
    Action applyAction() const override;
    void dropChanges() override;
    // Forgets the unapplied change of one slot (written otherwise).
    void dropChange(int team, int slot);

    const GameNames& names() const { return names_; }

  private:
    RosterSlot codes(int team, int slot) const;
    bool teamChanged(int team) const;

    std::vector<RosterTeam> teams_;
    std::map<std::pair<int, int>, RosterSlot> pending_;  // by team and slot
    GameNames names_;
};

}  // namespace slamwise
