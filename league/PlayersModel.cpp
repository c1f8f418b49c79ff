#include "league/PlayersModel.h"

#include <QFont>

#include "ui/ImageSession.h"

namespace slamwise {

int PlayersModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !loaded_ ? 0 : kPlayerCount;
}

int PlayersModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kPlayerGridColumns;
}

QVariant PlayersModel::data(const QModelIndex& index, int role) const {
    const int player = index.row();
    const int column = index.column();
    const GridColumn which = gridColumn(column);
    switch (role) {
        case Qt::DisplayRole:
        case kPlainRole: {
            QString text = QString::fromStdString(grid_.text(player, column, names_));
            if (role == Qt::DisplayRole && which.kind == GridColumnKind::Number &&
                grid_.changed(player)) {
                text += QLatin1Char('*');
            }
            return text;
        }
        case Qt::EditRole: {
            const std::optional<int> value = grid_.value(player, column);
            return value ? QVariant(*value) : QVariant(cellRange(column).lowest);
        }
        case kSortRole:
            if (which.kind == GridColumnKind::Name) {
                return QString::fromStdString(grid_.text(player, column, names_));
            }
            if (which.kind == GridColumnKind::Number) {
                return player;
            }
            // Raw values sort after every value with a meaning, empty cells last.
            return grid_.value(player, column)
                .value_or(grid_.editable(player, column) ? 1000 : 2000);
        case Qt::FontRole:
            if (grid_.changed(player, column) ||
                (which.kind == GridColumnKind::Number && grid_.changed(player))) {
                QFont bold;
                bold.setBold(true);
                return bold;
            }
            return {};
        case Qt::TextAlignmentRole:
            return which.kind == GridColumnKind::Name ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                                      : QVariant(Qt::AlignRight | Qt::AlignVCenter);
        default:
            return {};
    }
}

QVariant PlayersModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        const std::string_view title = gridColumn(section).title;
        return QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size()));
    }
    return LeagueModel::headerData(section, orientation, role);
}

Qt::ItemFlags PlayersModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (grid_.editable(index.row(), index.column())) {
        flags |= Qt::ItemIsEditable;
    }
    return flags;
}

bool PlayersModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    bool isNumber = false;
    const int number = value.toInt(&isNumber);
    if (role != Qt::EditRole || !isNumber || !grid_.set(index.row(), index.column(), number)) {
        return false;
    }
    // The number, and a displayed rating that follows a playing one, change too.
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), kPlayerGridColumns - 1));
    return true;
}

void PlayersModel::setCells(const std::vector<Cell>& cells) {
    for (const Cell& cell : cells) {
        grid_.set(cell.player, cell.column, cell.value);
    }
    emit dataChanged(index(0, 0), index(rowCount() - 1, kPlayerGridColumns - 1));
}

Status PlayersModel::reload(const ImageSession& session) {
    Result<PlayerGrid> fresh =
        PlayerGrid::read(session.image().rom(), session.image().visualLayout());
    if (!fresh) {
        return fresh.status();
    }
    names_ = session.names();
    if (loaded_) {  // the rows stay, and with them the selection and the current cell
        grid_.take(std::move(fresh).value());
        emit dataChanged(index(0, 0), index(kPlayerCount - 1, kPlayerGridColumns - 1));
        return {};
    }
    beginResetModel();
    grid_.take(std::move(fresh).value());
    loaded_ = true;
    endResetModel();
    return {};
}

QString PlayersModel::countText(int count) const {
    return count == 1 ? QStringLiteral("1 player") : QStringLiteral("%1 players").arg(count);
}

Action PlayersModel::applyAction() const {
    return savePlayers(applyLabel(grid_.changedPlayers(), "Player", "Players"), grid_.edits());
}

void PlayersModel::dropChanges() {
    grid_.revert();
    if (loaded_) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, kPlayerGridColumns - 1));
    }
}

}  // namespace slamwise
