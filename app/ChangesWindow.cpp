#include "app/ChangesWindow.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace slamwise {

namespace {

QPushButton* button(QDialogButtonBox* box, const char* name, const QString& text,
                    QDialogButtonBox::ButtonRole role) {
    QPushButton* added = box->addButton(text, role);
    added->setObjectName(QString::fromLatin1(name));
    return added;
}

}  // namespace

ChangesWindow::ChangesWindow(Purpose purpose, const std::vector<Change>& changes,
                             const QString& message, QWidget* parent)
    : QDialog(parent) {
    const bool preview = purpose == Purpose::ApplyPatch;
    setObjectName(preview ? QStringLiteral("PatchPreview") : QStringLiteral("Compare"));
    setWindowTitle(preview ? QStringLiteral("Apply Patch") : QStringLiteral("Compare"));
    auto* layout = new QVBoxLayout(this);

    auto* note = new QLabel(message, this);
    note->setObjectName(QStringLiteral("PatchMessageLBL"));
    note->setTextFormat(Qt::PlainText);
    note->setWordWrap(true);
    note->setVisible(!message.isEmpty());
    layout->addWidget(note);

    auto* list = new QListWidget(this);
    list->setObjectName(QStringLiteral("PatchChangesLST"));
    for (const Change& change : changes) {
        list->addItem(QString::fromStdString(describe(change)));
    }
    layout->addWidget(list);

    auto* summary = new QLabel(QString::fromStdString(summarize(changes)), this);
    summary->setObjectName(QStringLiteral("PatchSummaryLBL"));
    summary->setTextFormat(Qt::PlainText);
    layout->addWidget(summary);

    auto* buttons = new QDialogButtonBox(this);
    if (preview) {
        QPushButton* apply =
            button(buttons, "PatchApplyCMD", QStringLiteral("Apply"), QDialogButtonBox::AcceptRole);
        button(buttons, "PatchCancelCMD", QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
        apply->setDefault(true);
    } else {
        button(buttons, "CompareCloseCMD", QStringLiteral("Close"), QDialogButtonBox::RejectRole);
    }
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(560, 420);
}

}  // namespace slamwise
