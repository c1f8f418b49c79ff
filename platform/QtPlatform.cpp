#include "platform/QtPlatform.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>

namespace slamwise {

namespace {
const QString kApplicationName = QStringLiteral("Korvanex");
const QString kSection = QStringLiteral("Slamwise Player Editor");
}  // namespace

std::unique_ptr<QFileDialog> QtFileDialog::makeDialog(QWidget* parent,
                                                      const std::vector<FileTypeFilter>& filters,
                                                      int selectedFilter) {
    auto dialog = std::make_unique<QFileDialog>(parent);
    dialog->setFileMode(QFileDialog::ExistingFile);  // never a name that does not exist yet
    // Qt takes the patterns from the end of each entry and, with HideNameFilterDetails, shows
    // the caption alone. The desktop's own dialogs cut a caption at its first '(', so Qt's
    // dialog is used: the captions must read exactly as written.
    dialog->setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    QStringList entries;
    for (const FileTypeFilter& filter : filters) {
        QString patterns = filter.patterns;
        entries << filter.caption + QStringLiteral(" (") +
                       patterns.replace(QLatin1Char(';'), QLatin1Char(' ')) + QLatin1Char(')');
    }
    dialog->setNameFilters(entries);
    if (selectedFilter >= 0 && selectedFilter < entries.size()) {
        dialog->selectNameFilter(entries[selectedFilter]);
    }
    return dialog;
}

std::optional<QString> QtFileDialog::openFile(QWidget* parent,
                                              const std::vector<FileTypeFilter>& filters,
                                              int selectedFilter) {
    std::unique_ptr<QFileDialog> dialog = makeDialog(parent, filters, selectedFilter);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog->selectedFiles().constFirst();
}

std::optional<QString> QtFileDialog::saveFile(QWidget* parent,
                                              const std::vector<FileTypeFilter>& filters,
                                              int selectedFilter) {
    std::unique_ptr<QFileDialog> dialog = makeDialog(parent, filters, selectedFilter);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog->selectedFiles().constFirst();
}

void QtMessageBoxes::show(QWidget* parent, Icon icon, const QString& title, const QString& text,
                          const QString& details) {
    QMessageBox box(parent);
    switch (icon) {
        case Icon::Question:
            box.setIcon(QMessageBox::Question);
            break;
        case Icon::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case Icon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case Icon::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
    }
    box.setWindowTitle(title);
    box.setTextFormat(Qt::PlainText);  // paths and reasons are shown as they are
    box.setText(text);
    if (!details.isEmpty()) {
        box.setInformativeText(details);
        if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"))) {
            label->setTextFormat(Qt::PlainText);
        }
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

bool QtMessageBoxes::askYesNo(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

MessageBoxes::Choice QtMessageBoxes::askApplyDiscardCancel(QWidget* parent, const QString& title,
                                                           const QString& text) {
    QMessageBox box(QMessageBox::Question, title, text,
                    QMessageBox::Apply | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Apply);
    switch (box.exec()) {
        case QMessageBox::Apply:
            return Choice::Apply;
        case QMessageBox::Discard:
            return Choice::Discard;
        default:
            return Choice::Cancel;
    }
}

QString QtClipboard::plainText() {
    return QApplication::clipboard()->text();
}

void QtClipboard::setText(const QString& text) {
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

QtSettings::QtSettings()
    : store_(QSettings::IniFormat, QSettings::UserScope, kApplicationName, kApplicationName) {}

QString QtSettings::value(const QString& key) {
    return store_.value(kSection + QLatin1Char('/') + key).toString();
}

void QtSettings::setValue(const QString& key, const QString& value) {
    store_.setValue(kSection + QLatin1Char('/') + key, value);
    store_.sync();
}

void QtUrlOpener::open(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

}  // namespace slamwise
