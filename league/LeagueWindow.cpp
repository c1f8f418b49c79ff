#include "league/LeagueWindow.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "ui/UndoKeys.h"

namespace slamwise {

namespace {

QPushButton* button(const QString& name, const QString& caption, QWidget* parent) {
    auto* created = new QPushButton(caption, parent);
    created->setObjectName(name);
    return created;
}

}  // namespace

LeagueWindow::LeagueWindow(ImageSession& session, Platform platform, LeagueModel* model,
                           const Names& names, QWidget* parent)
    : QWidget(parent, Qt::Window),
      session_(session),
      platform_(platform),
      model_(model),
      names_(names) {
    const QString prefix = QString::fromLatin1(names.window);
    setObjectName(prefix + QStringLiteral("Table"));
    setWindowTitle(names.title);
    setAttribute(Qt::WA_DeleteOnClose);
    model_->setParent(this);
    table_ = new QTableView(this);
    table_->setObjectName(QString::fromLatin1(names.table));
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    applyButton_ = button(prefix + QStringLiteral("ApplyCMD"), QStringLiteral("Apply"), this);
    revertButton_ = button(prefix + QStringLiteral("RevertCMD"), QStringLiteral("Revert"), this);
    connect(applyButton_, &QPushButton::clicked, this, &LeagueWindow::applyChanges);
    connect(revertButton_, &QPushButton::clicked, this, &LeagueWindow::revertChanges);
    connect(model_, &QAbstractItemModel::dataChanged, this, &LeagueWindow::showChangeState);
    connect(model_, &QAbstractItemModel::modelReset, this, &LeagueWindow::showChangeState);
    connect(&session_, &ImageSession::written, this, [this] {
        if (!saving_) {
            reload();
        }
    });
    connect(&session_, &ImageSession::aboutToClose, this, &LeagueWindow::imageClosing);
    new UndoKeys(this, session_, platform_.messages);
    const QSize size = UserSettings(platform_.settings).tableWindowSize(names_.settings);
    resize(size.isValid() ? size : QSize(960, 600));
}

void LeagueWindow::finishLayout(QWidget* above, const QList<QPushButton*>& moreButtons) {
    auto* buttons = new QHBoxLayout;
    for (QPushButton* more : moreButtons) {
        buttons->addWidget(more);
    }
    buttons->addStretch(1);
    buttons->addWidget(applyButton_);
    buttons->addWidget(revertButton_);
    auto* layout = new QVBoxLayout(this);
    if (above != nullptr) {
        layout->addWidget(above);
    }
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);
    const QList<int> widths = UserSettings(platform_.settings).tableColumnWidths(names_.settings);
    if (widths.size() == model_->columnCount()) {
        for (int column = 0; column < widths.size(); ++column) {
            table_->setColumnWidth(column, widths[column]);
        }
    }
    showChangeState();
}

void LeagueWindow::showChangeState() {
    const bool changed = model_->changedCount() > 0;
    applyButton_->setEnabled(changed);
    revertButton_->setEnabled(changed);
    emit changesChanged();
}

void LeagueWindow::reload() {
    if (!session_.isOpen()) {
        return;
    }
    if (Status status = model_->reload(session_); !status) {
        reportFailure(QStringLiteral("The table could not be read."), status);
    }
}

bool LeagueWindow::applyChanges() {
    const int count = model_->changedCount();
    if (count == 0 || !session_.isOpen()) {
        return true;
    }
    if (Status status = save(model_->applyAction()); !status) {
        reportFailure(
            QStringLiteral("Nothing was applied to the %1.").arg(model_->countText(count)), status);
        reload();
        return false;
    }
    model_->dropChanges();
    reload();
    return true;
}

void LeagueWindow::revertChanges() {
    model_->dropChanges();
}

Status LeagueWindow::save(const Action& action) {
    saving_ = true;
    Status status = session_.apply(action).status();
    saving_ = false;
    return status;
}

void LeagueWindow::reportFailure(const QString& text, const Status& status) {
    platform_.messages.show(this, MessageBoxes::Icon::Critical, windowTitle(), text,
                            QString::fromStdString(status.message()));
}

void LeagueWindow::closeEvent(QCloseEvent* event) {
    if (const int count = model_->changedCount(); count > 0 && !closing_) {
        const MessageBoxes::Choice choice = platform_.messages.askApplyDiscardCancel(
            this, windowTitle(),
            QStringLiteral("Apply the changes to %1?").arg(model_->countText(count)));
        if (choice == MessageBoxes::Choice::Cancel ||
            (choice == MessageBoxes::Choice::Apply && !applyChanges())) {
            event->ignore();
            return;
        }
        model_->dropChanges();
    }
    rememberLayout();
    event->accept();
}

void LeagueWindow::imageClosing() {
    // The image is going: the changes are applied now or never.
    if (const int count = model_->changedCount(); count > 0) {
        if (platform_.messages.askYesNo(
                this, windowTitle(),
                QStringLiteral("Apply the changes to %1?").arg(model_->countText(count)))) {
            applyChanges();
        }
        model_->dropChanges();
    }
    closing_ = true;
    close();
}

void LeagueWindow::rememberLayout() {
    UserSettings settings(platform_.settings);
    settings.setTableWindowSize(names_.settings, size());
    QList<int> widths;
    for (int column = 0; column < model_->columnCount(); ++column) {
        widths << table_->columnWidth(column);
    }
    settings.setTableColumnWidths(names_.settings, widths);
}

}  // namespace slamwise
