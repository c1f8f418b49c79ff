#include "league/PlayersTable.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTableView>
#include <map>

#include "league/PlayersModel.h"

namespace slamwise {

namespace {

QString qText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QStringList captionsOf(int column) {
    QStringList captions;
    const GridColumnKind kind = gridColumn(column).kind;
    if (kind == GridColumnKind::Height) {
        for (std::string_view caption : kHeightCaptions) {
            captions << qText(caption);
        }
    } else if (kind == GridColumnKind::Skin) {
        for (std::string_view caption : kSkinCaptions) {
            captions << qText(caption);
        }
    }
    return captions;
}

// Spin boxes for the numbers, lists for height and skin: a value out of range cannot be given.
class CellDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        if (const QStringList captions = captionsOf(index.column()); !captions.isEmpty()) {
            auto* list = new QComboBox(parent);
            list->addItems(captions);
            return list;
        }
        auto* box = new QSpinBox(parent);
        const CellRange range = cellRange(index.column());
        box->setRange(range.lowest, range.highest);
        return box;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        const int value = index.data(Qt::EditRole).toInt();
        if (auto* list = qobject_cast<QComboBox*>(editor)) {
            list->setCurrentIndex(value);
        } else if (auto* box = qobject_cast<QSpinBox*>(editor)) {
            box->setValue(value);
        }
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        if (auto* list = qobject_cast<QComboBox*>(editor)) {
            model->setData(index, list->currentIndex(), Qt::EditRole);
        } else if (auto* box = qobject_cast<QSpinBox*>(editor)) {
            box->interpretText();
            model->setData(index, box->value(), Qt::EditRole);
        }
    }
};

// Keeps the rows whose name or number holds the text.
class PlayerFilter : public QSortFilterProxyModel {
  public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void setText(const QString& text) {
        text_ = text.trimmed();
        invalidateFilter();
    }

  protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        for (int column : {0, 1}) {
            const QString cell =
                sourceModel()->index(row, column, parent).data(LeagueModel::kPlainRole).toString();
            if (cell.contains(text_, Qt::CaseInsensitive)) {
                return true;
            }
        }
        return false;
    }

  private:
    QString text_;
};

QAction* keyAction(QWidget* owner, const char* name, const QKeySequence& key) {
    auto* action = new QAction(owner);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(key);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    owner->addAction(action);
    return action;
}

}  // namespace

PlayersTable::PlayersTable(ImageSession& session, Platform platform, QWidget* parent)
    : LeagueWindow(session, platform, new PlayersModel,
                   {"Players", "PlayersTBL", QStringLiteral("Players Table"),
                    UserSettings::TableWindow::Players},
                   parent),
      players_(static_cast<PlayersModel*>(model_)) {
    auto* filter = new PlayerFilter(this);
    proxy_ = filter;
    proxy_->setSourceModel(players_);
    proxy_->setSortRole(LeagueModel::kSortRole);
    table_->setModel(proxy_);
    table_->setItemDelegate(new CellDelegate(table_));
    table_->setSortingEnabled(true);
    table_->sortByColumn(0, Qt::AscendingOrder);
    table_->verticalHeader()->hide();
    filter_ = new QLineEdit(this);
    filter_->setObjectName(QStringLiteral("PlayersFilterTXT"));
    filter_->setPlaceholderText(QStringLiteral("Filter by name or number"));
    filter_->setClearButtonEnabled(true);
    connect(filter_, &QLineEdit::textChanged, filter, &PlayerFilter::setText);
    auto* set = new QPushButton(QStringLiteral("Set Selected..."), this);
    set->setObjectName(QStringLiteral("PlayersSetCMD"));
    connect(set, &QPushButton::clicked, this, &PlayersTable::setSelected);
    connect(keyAction(table_, "PlayersCopyKey", QKeySequence::Copy), &QAction::triggered, this,
            &PlayersTable::copySelection);
    connect(keyAction(table_, "PlayersPasteKey", QKeySequence::Paste), &QAction::triggered, this,
            &PlayersTable::paste);
    reload();
    table_->resizeColumnsToContents();
    finishLayout(filter_, {set});
}

void PlayersTable::refuse(const QString& text, const QString& details) {
    platform_.messages.show(this, MessageBoxes::Icon::Exclamation, windowTitle(), text, details);
}

QString PlayersTable::selectionText() const {
    const QModelIndexList selected = table_->selectionModel()->selectedIndexes();
    if (selected.isEmpty()) {
        return {};
    }
    int top = proxy_->rowCount(), bottom = -1, left = proxy_->columnCount(), right = -1;
    for (const QModelIndex& index : selected) {
        top = std::min(top, index.row());
        bottom = std::max(bottom, index.row());
        left = std::min(left, index.column());
        right = std::max(right, index.column());
    }
    QStringList lines;
    const int wholeRows = static_cast<int>(table_->selectionModel()->selectedRows().size());
    if (wholeRows > 0 && wholeRows * proxy_->columnCount() == selected.size()) {
        QStringList titles;
        for (int column = left; column <= right; ++column) {
            titles << qText(gridColumn(column).title);
        }
        lines << titles.join(QLatin1Char('\t'));
    }
    for (int row = top; row <= bottom; ++row) {
        QStringList cells;
        for (int column = left; column <= right; ++column) {
            const QModelIndex index = proxy_->index(row, column);
            cells << (table_->selectionModel()->isSelected(index)
                          ? index.data(LeagueModel::kPlainRole).toString()
                          : QString());
        }
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

void PlayersTable::copySelection() {
    if (const QString text = selectionText(); !text.isEmpty()) {
        platform_.clipboard.setText(text);
    }
}

void PlayersTable::paste() {
    const QModelIndex start = table_->currentIndex();
    QStringList lines = platform_.clipboard.plainText().split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    if (!start.isValid() || lines.isEmpty()) {
        refuse(
            QStringLiteral("Nothing was pasted: select the cell where the block starts, and "
                           "copy a block of cells first."));
        return;
    }
    std::vector<PlayersModel::Cell> cells;
    QStringList problems;
    for (int r = 0; r < lines.size(); ++r) {
        QString line = lines[r];
        line.remove(QLatin1Char('\r'));
        const QStringList texts = line.split(QLatin1Char('\t'));
        for (int c = 0; c < texts.size(); ++c) {
            const QModelIndex index = proxy_->index(start.row() + r, start.column() + c);
            const QString& text = texts[c];
            if (!index.isValid()) {
                problems << QStringLiteral("Row %1, column %2, \"%3\": is outside the table")
                                .arg(start.row() + r + 1)
                                .arg(start.column() + c + 1)
                                .arg(text);
                continue;
            }
            const int player = proxy_->mapToSource(index).row();
            const int column = index.column();
            if (text == index.data(LeagueModel::kPlainRole).toString()) {
                continue;  // the cell keeps its value (a raw one too)
            }
            CellInput input = players_->grid().editable(player, column)
                                  ? readCell(column, text.toStdString())
                                  : CellInput{std::nullopt, "cannot be changed"};
            if (!input.value) {
                problems << QStringLiteral("Row %1 (player %2), %3, \"%4\": %5")
                                .arg(index.row() + 1)
                                .arg(player)
                                .arg(qText(gridColumn(column).title), text,
                                     QString::fromStdString(input.problem));
                continue;
            }
            cells.push_back({player, column, *input.value});
        }
    }
    if (!problems.isEmpty()) {
        refuse(QStringLiteral("Nothing was pasted: these values do not fit their cells."),
               problems.join(QLatin1Char('\n')));
        return;
    }
    players_->setCells(cells);
}

void PlayersTable::setSelected() {
    const QModelIndexList selected = table_->selectionModel()->selectedIndexes();
    const int column = selected.isEmpty() ? -1 : selected.first().column();
    for (const QModelIndex& index : selected) {
        if (index.column() != column) {
            refuse(QStringLiteral("Select cells of one column only."));
            return;
        }
    }
    const CellRange range = cellRange(column);
    if (range.highest < range.lowest) {
        refuse(QStringLiteral("Select the cells to set: ratings, AI, height or skin."));
        return;
    }
    const QStringList captions = captionsOf(column);
    QInputDialog dialog(this);
    dialog.setObjectName(QStringLiteral("PlayersSetDLG"));
    dialog.setWindowTitle(QStringLiteral("Set Selected"));
    dialog.setLabelText(QStringLiteral("%1 of the %2 selected cells:")
                            .arg(qText(gridColumn(column).title))
                            .arg(selected.size()));
    if (captions.isEmpty()) {
        dialog.setInputMode(QInputDialog::IntInput);
        dialog.setIntRange(range.lowest, range.highest);
        dialog.setIntValue(selected.first().data(Qt::EditRole).toInt());
    } else {
        dialog.setComboBoxItems(captions);
        dialog.setTextValue(captions.value(selected.first().data(Qt::EditRole).toInt()));
    }
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const int value = captions.isEmpty() ? dialog.intValue()
                                         : static_cast<int>(captions.indexOf(dialog.textValue()));
    std::vector<PlayersModel::Cell> cells;
    for (const QModelIndex& index : selected) {
        cells.push_back({proxy_->mapToSource(index).row(), column, value});
    }
    players_->setCells(cells);  // cells that cannot be edited are left as they are
}

}  // namespace slamwise
