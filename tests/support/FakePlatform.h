#pragma once

#include <QUrl>
#include <deque>
#include <map>
#include <vector>

#include "platform/Platform.h"

namespace slamwise::test {

// Stand-ins for the desktop services: they record what the program asked and answer as the
// test told them, so nothing ever waits on a modal dialog.

// The next of the answers a test queued, or otherwise when none is left.
template <class T>
T nextAnswer(std::deque<T>& answers, T otherwise) {
    if (!answers.empty()) {
        otherwise = answers.front();
        answers.pop_front();
    }
    return otherwise;
}

struct FakeFileDialog final : FileDialog {
    struct Call {
        std::vector<FileTypeFilter> filters;
        int selectedFilter;
    };
    std::deque<std::optional<QString>> answers;  // none left, or nothing: the user cancels
    std::vector<Call> calls;

    std::optional<QString> openFile(QWidget*, const std::vector<FileTypeFilter>& filters,
                                    int selectedFilter) override {
        calls.push_back({filters, selectedFilter});
        return nextAnswer(answers, std::optional<QString>());
    }
    std::optional<QString> saveFile(QWidget* parent, const std::vector<FileTypeFilter>& filters,
                                    int selectedFilter) override {
        return openFile(parent, filters, selectedFilter);
    }
};

struct FakeMessageBoxes final : MessageBoxes {
    struct Shown {
        Icon icon;
        QString title, text, details;
    };
    std::vector<Shown> shown;
    std::deque<bool> answers;  // for askYesNo; none left: No
    std::vector<Shown> questions;

    void show(QWidget*, Icon icon, const QString& title, const QString& text,
              const QString& details) override {
        shown.push_back({icon, title, text, details});
    }
    bool askYesNo(QWidget*, const QString& title, const QString& text) override {
        questions.push_back({Icon::Question, title, text, {}});
        return nextAnswer(answers, false);
    }
    std::deque<Choice> choices;  // for askApplyDiscardCancel; none left: Cancel
    Choice askApplyDiscardCancel(QWidget*, const QString& title, const QString& text) override {
        questions.push_back({Icon::Question, title, text, {}});
        return nextAnswer(choices, Choice::Cancel);
    }
};

struct FakeClipboard final : Clipboard {
    QString text;
    void setText(const QString& value) override { text = value; }
    QString plainText() override { return text; }
};

struct FakeSettings final : Settings {
    std::map<QString, QString> values;
    std::vector<std::pair<QString, QString>> writes;

    QString value(const QString& key) override { return values[key]; }
    void setValue(const QString& key, const QString& value) override {
        values[key] = value;
        writes.emplace_back(key, value);
    }
};

struct FakeUrlOpener final : UrlOpener {
    std::vector<QUrl> opened;
    void open(const QUrl& url) override { opened.push_back(url); }
};

struct FakePlatform {
    FakeFileDialog files;
    FakeMessageBoxes messages;
    FakeClipboard clipboard;
    FakeSettings settings;
    FakeUrlOpener urls;

    Platform platform() { return {files, messages, clipboard, settings, urls}; }
};

}  // namespace slamwise::test
