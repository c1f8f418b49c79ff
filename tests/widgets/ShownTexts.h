#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <map>
#include <string>
#include <vector>

#include "tests/support/FakePlatform.h"

namespace slamwise::test {

// One fixed text the user reads, and where: "Name" is the caption of the control (or window)
// of that objectName, "Name.tip" its tooltip, "Name#3" entry 3 of its list, "label" any
// label of the window without a name; other keys name texts the test collected (messages).
struct ShownText {
    const char* what;
    std::string expected;
};

inline QString captionOf(QObject* object) {
    if (auto* label = qobject_cast<QLabel*>(object))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(object))
        return button->text();
    if (auto* frame = qobject_cast<QGroupBox*>(object))
        return frame->title();
    if (auto* menu = qobject_cast<QMenu*>(object))
        return menu->title();
    if (auto* action = qobject_cast<QAction*>(object))
        return action->text();
    return qobject_cast<QWidget*>(object)->windowTitle();
}

inline QString shownText(QWidget* window, const QString& what) {
    const QString name = what.section(QLatin1Char('.'), 0, 0).section(QLatin1Char('#'), 0, 0);
    QObject* object = window->objectName() == name ? window : window->findChild<QObject*>(name);
    if (object == nullptr)
        return QStringLiteral("(nothing named ") + name + QLatin1Char(')');
    if (what.contains(QLatin1Char('.')))
        return qobject_cast<QWidget*>(object)->toolTip();
    if (!what.contains(QLatin1Char('#')))
        return captionOf(object);
    const int row = what.section(QLatin1Char('#'), 1).toInt();
    if (auto* list = qobject_cast<QListWidget*>(object))
        return list->item(row)->text();
    return qobject_cast<QComboBox*>(object)->itemText(row);
}

// A message the window showed or asked, as the user reads it: title, a line feed, the text.
inline QString messageText(const FakeMessageBoxes::Shown& message) {
    return message.title + QLatin1Char('\n') + message.text;
}

inline void expectTexts(QWidget* window, const std::vector<ShownText>& table,
                        const std::map<QString, QString>& collected = {}) {
    QStringList labels;
    for (QLabel* label : window->findChildren<QLabel*>())
        labels << label->text();
    for (const auto& [what, expected] : table) {
        if (std::string(what) == "label") {
            EXPECT_TRUE(labels.contains(QString::fromStdString(expected))) << expected;
            continue;
        }
        auto found = collected.find(QString::fromLatin1(what));
        const QString shown = found != collected.end() ? found->second : shownText(window, what);
        EXPECT_EQ(shown.toStdString(), expected) << what;
    }
}

}  // namespace slamwise::test
