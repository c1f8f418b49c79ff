#include "league/RostersModel.h"

#include <QFont>

#include "game/PlayerGrid.h"
#include "ui/ImageSession.h"

namespace slamwise {

int RostersModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(teams_.size());
}

int RostersModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kRosterSlotCount;
}

RosterSlot RostersModel::codes(int team, int slot) const {
    auto found = pending_.find({team, slot});
    return found != pending_.end()
               ? found->second
               : teams_[static_cast<std::size_t>(team)][static_cast<std::size_t>(slot)];
}

bool RostersModel::teamChanged(int team) const {
    auto found = pending_.lower_bound({team, 0});
    return found != pending_.end() && found->first.first == team;
}

QVariant RostersModel::data(const QModelIndex& index, int role) const {
    const RosterSlot slot = codes(index.row(), index.column());
    switch (role) {
        case Qt::DisplayRole:
        case kPlainRole:
            return QString::fromStdString(rosterEntryText(names_, slot.position1) + " / " +
                                          rosterEntryText(names_, slot.position2));
        case Qt::EditRole:
        case kSortRole:
            return valueOf(slot);
        case Qt::FontRole:
            if (pending_.count({index.row(), index.column()}) != 0) {
                QFont bold;
                bold.setBold(true);
                return bold;
            }
            return {};
        default:
            return {};
    }
}

QVariant RostersModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) {
        return LeagueModel::headerData(section, orientation, role);
    }
    if (orientation == Qt::Horizontal) {
        return QStringLiteral("Slot %1").arg(section + 1);
    }
    QString team = section < static_cast<int>(names_.teams.size())
                       ? QString::fromStdString(names_.teams[static_cast<std::size_t>(section)])
                       : QString::number(section);
    return teamChanged(section) ? team + QStringLiteral(" *") : team;
}

Qt::ItemFlags RostersModel::flags(const QModelIndex&) const {
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

bool RostersModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    bool isNumber = false;
    const int number = value.toInt(&isNumber);
    if (role != Qt::EditRole || !isNumber || number < 0 || number > 0xFFFF || !index.isValid()) {
        return false;
    }
    const RosterSlot given = codesOf(number);
    const RosterSlot stored =
        teams_[static_cast<std::size_t>(index.row())][static_cast<std::size_t>(index.column())];
    if (given == stored) {
        pending_.erase({index.row(), index.column()});
    } else {
        pending_[{index.row(), index.column()}] = given;
    }
    emit dataChanged(index, index);
    emit headerDataChanged(Qt::Vertical, index.row(), index.row());
    return true;
}

Status RostersModel::reload(const ImageSession& session) {
    Result<std::vector<RosterTeam>> fresh = readRosterTable(session.image().rom());
    if (!fresh) {
        return fresh.status();
    }
    names_ = session.names();
    if (!teams_.empty()) {  // the cells stay, and with them the selection
        teams_ = std::move(fresh).value();
        emit dataChanged(index(0, 0), index(rowCount() - 1, kRosterSlotCount - 1));
        emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
        return {};
    }
    beginResetModel();
    teams_ = std::move(fresh).value();
    endResetModel();
    return {};
}

QString RostersModel::countText(int count) const {
    return count == 1 ? QStringLiteral("1 roster slot")
                      : QStringLiteral("%1 roster slots").arg(count);
}

Action RostersModel::applyAction() const {
    std::vector<SlotSave> saves;
    for (const auto& [where, codes] : pending_) {
        saves.push_back({where.first, where.second, codes});
    }
    return saveSlots(applyLabel(changedCount(), "Roster Slot", "Roster Slots"), std::move(saves));
}

void RostersModel::dropChanges() {
    pending_.clear();
    if (!teams_.empty()) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, kRosterSlotCount - 1));
        emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
    }
}

void RostersModel::dropChange(int team, int slot) {
    if (pending_.erase({team, slot}) != 0) {
        emit dataChanged(index(team, slot), index(team, slot));
        emit headerDataChanged(Qt::Vertical, team, team);
    }
}

}  // namespace slamwise
