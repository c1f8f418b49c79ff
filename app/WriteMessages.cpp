#include "app/WriteMessages.h"

#include <QMainWindow>
#include <QStatusBar>
#include <utility>

namespace slamwise {

namespace {

QString doneMessage(const QString& label) {
    static const std::pair<QString, QString> kWhole[] = {
        {QStringLiteral("Relocation"), QStringLiteral("Relocated the visual table")},
        {QStringLiteral("Cheat Codes"), QStringLiteral("Wrote the cheat codes")},
        {QStringLiteral("Make Last Player"), QStringLiteral("Made the last player")},
        {QStringLiteral("Fix Checksum"), QStringLiteral("Fixed the checksum")},
        {QStringLiteral("Apply Patch"), QStringLiteral("Applied the patch")},
    };
    for (const auto& [action, message] : kWhole) {
        if (label == action) {
            return message;
        }
    }
    const QString applyTo = QStringLiteral("Apply to ");
    if (label.startsWith(applyTo)) {
        return QStringLiteral("Applied to ") + label.mid(applyTo.size());
    }
    return QStringLiteral("Wrote ") + label;
}

}  // namespace

QString writeMessage(const QString& label, ImageSession::Step step) {
    switch (step) {
        case ImageSession::Step::Undone:
            return QStringLiteral("Undid ") + label;
        case ImageSession::Step::Redone:
            return QStringLiteral("Redid ") + label;
        case ImageSession::Step::Done:
            break;
    }
    return doneMessage(label);
}

WriteMessages::WriteMessages(QMainWindow* window, ImageSession& session) : QObject(window) {
    connect(&session, &ImageSession::changeWritten, this,
            [window](const QString& label, ImageSession::Step step) {
                window->statusBar()->showMessage(writeMessage(label, step), kShownFor);
            });
}

}  // namespace slamwise
