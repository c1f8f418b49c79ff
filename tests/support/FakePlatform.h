#pragma once

#include <QUrl>
#include <deque>
#include <map>
#include <vector>

#include "platform/Platform.h"

namespace slamwise::test {

// Stand-ins for the desktop services: they record what the program asked and answer as the
// test told them, so nothing ever waits on a modal dialog.

struct FakeFileDialog final : FileDialog {
    struct Call {
        std::vector<FileTypeFilter> filters;
        int selectedFilter;
        bool save = false;  // saveFile rather than openFile
    };
    std::deque<std::optional<QString>> answers;  // empty: the user cancels
    std::vector<Call> calls;

    std::optional<QString> openFile(QWidget*, const std::vector<FileTypeFilter>& filters,
                                    int selectedFilter) override {
        calls.push_back({filters, selectedFilter});
        if (answers.empty()) {
            return std::nullopt;
        }
        const bool cancelled = !answers.front();
        QString answer = answers.front().value_or(QString());
        answers.pop_front();
        if (cancelled) {
            return std::nullopt;
        }
        return answer;
    }
    std::optional<QString> saveFile(QWidget* parent, const std::vector<FileTypeFilter>& filters,
                                    int selectedFilter) override {
        std::optional<QString> answer = openFile(parent, filters, selectedFilter);
        calls.back().save = true;
        return answer;
    }
};

struct FakeMessageBoxes final : MessageBoxes {
    struct Shown {
        Icon icon;
        QString title;
        QString text;
        QString details;
    };
    std::vector<Shown> shown;
    std::deque<bool> answers;  // for askYesNo; empty: No
    std::vector<Shown> questions;

    void show(QWidget*, Icon icon, const QString& title, const QString& text,
              const QString& details) override {
        shown.push_back({icon, title, text, details});
    }
    bool askYesNo(QWidget*, const QString& title, const QString& text) override {
        questions.push_back({Icon::Question, title, text, {}});
        if (answers.empty()) {
            return false;
        }
        bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

struct FakeClipboard final : Clipboard {
    QString text;
    int puts = 0;
    void setText(const QString& value) override {
        text = value;
        ++puts;
    }
};

struct FakeSettings final : Settings {
    std::map<QString, QString> values;
    std::vector<std::pair<QString, QString>> writes;

    QString value(const QString& key) override {
        auto found = values.find(key);
        return found == values.end() ? QString() : found->second;
    }
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
