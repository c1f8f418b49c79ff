#include "league/RostersTable.h"

#include "ui/Questions.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QStyledItemDelegate>
#include <QTableView>

#include "league/RostersModel.h"

namespace slamwise {

namespace {

// The two entry codes of a slot, each from the player selection list.
class SlotEditor : public QWidget {
  public:
    SlotEditor(const GameNames& names, QWidget* parent) : QWidget(parent) {
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(2);
        for (QComboBox*& list : lists_) {
            list = new QComboBox(this);
            for (int code = 0; code < kRosterEntryCount; ++code) {
                list->addItem(QString::fromStdString(
                    rosterEntryText(names, static_cast<std::uint8_t>(code))));
            }
            layout->addWidget(list);
        }
        lists_[0]->setObjectName(QStringLiteral("Position1CBO"));
        lists_[1]->setObjectName(QStringLiteral("Position2CBO"));
        setAutoFillBackground(true);
    }
    void setValue(int value) {
        const RosterSlot codes = RostersModel::codesOf(value);
        lists_[0]->setCurrentIndex(codes.position1);
        lists_[1]->setCurrentIndex(codes.position2);
    }
    int value() const {
        return RostersModel::valueOf({static_cast<std::uint8_t>(lists_[0]->currentIndex()),
                                      static_cast<std::uint8_t>(lists_[1]->currentIndex())});
    }

  private:
    std::array<QComboBox*, 2> lists_{};
};

class SlotDelegate : public QStyledItemDelegate {
  public:
    SlotDelegate(const RostersModel& model, QObject* parent)
        : QStyledItemDelegate(parent), model_(model) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        return new SlotEditor(model_.names(), parent);
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        static_cast<SlotEditor*>(editor)->setValue(index.data(Qt::EditRole).toInt());
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        model->setData(index, static_cast<SlotEditor*>(editor)->value(), Qt::EditRole);
    }
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex&) const override {
        editor->setGeometry(option.rect.adjusted(0, 0, editor->sizeHint().width() / 2, 0));
    }

  private:
    const RostersModel& model_;
};

}  // namespace

RostersTable::RostersTable(ImageSession& session, Platform platform, QWidget* parent)
    : LeagueWindow(session, platform, new RostersModel,
                   {"Rosters", "RostersTBL", QStringLiteral("All Rosters"),
                    UserSettings::TableWindow::Rosters},
                   parent),
      rosters_(static_cast<RostersModel*>(model_)) {
    table_->setModel(rosters_);
    table_->setItemDelegate(new SlotDelegate(*rosters_, table_));
    auto* lastPlayer = new QAction(QStringLiteral("Make Last Player"), table_);
    lastPlayer->setObjectName(QStringLiteral("RostersLastPlayerCMD"));
    table_->addAction(lastPlayer);
    table_->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(lastPlayer, &QAction::triggered, this, &RostersTable::makeLastPlayer);
    reload();
    table_->resizeColumnsToContents();
    finishLayout(nullptr, {});
}

void RostersTable::makeLastPlayer() {
    const QModelIndex cell = table_->currentIndex();
    if (!cell.isValid() || !session_.isOpen()) {
        return;
    }
    if (!askMakeLastPlayer(platform_.messages, this)) {
        return;
    }
    rosters_->dropChange(cell.row(), cell.column());
    if (Status status = save(endRosterAt(cell.row(), cell.column())); !status) {
        reportFailure(QStringLiteral("The roster could not be ended at this slot."), status);
    }
    reload();
}

}  // namespace slamwise
