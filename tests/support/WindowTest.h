#pragma once

// What the window tests share: a fixture holding the fake platform, the image file, the image
// session and the window, which finds controls by objectName and checks texts and bytes.

#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>

#include "storage/FaultInjection.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/ImageBuilder.h"
#include "ui/ImageSession.h"

namespace slamwise::test {

// Runs check on the modal window that the next action opens, then closes it.
inline void onNextModal(std::function<void(QWidget*)> check) {
    QTimer::singleShot(0, [check] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        check(modal);
        modal->close();
    });
}

template <class Window>
class WindowTest : public ::testing::Test {
  protected:
    template <class T = QWidget>
    T* child(const char* name) {
        T* found = window_->template findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void click(const char* name) { child<QAbstractButton>(name)->click(); }
    QString label(const char* name) { return child<QLabel>(name)->text(); }
    bool enabled(const char* name) { return child(name)->isEnabled(); }
    // Closes the image, writes image_ to the file and opens it in the session, which the
    // window (if any) follows.
    void openImage(RomFile::Access access = RomFile::Access::ReadWrite) {
        session_.close();
        path_ = image_.writeTo(dir_.file("image.sfc"));
        Result<OpenedImage> opened = OpenedImage::open(path_, access);
        ASSERT_TRUE(opened) << opened.error();
        session_.open(Session(std::move(opened).value()));
    }
    // A new window on the session, shown; the test owns it.
    void openWindow() {
        window_ = std::make_unique<Window>(session_, fake_.platform());
        window_->setAttribute(Qt::WA_DeleteOnClose, false);
        window_->show();
    }
    // The window's table (of a league window), its cells, and the editor a double click opens.
    QTableView* table() { return window_->template findChild<QTableView*>(); }
    QModelIndex at(int row, int column) { return table()->model()->index(row, column); }
    QString cell(int row, int column) { return at(row, column).data().toString(); }
    template <class Editor>
    Editor* editor(int row, int column, const QString& name = {}) {
        table()->setCurrentIndex(at(row, column));
        table()->edit(at(row, column));
        return table()->viewport()->template findChild<Editor*>(name);
    }
    const History& history() const { return session_.session().history(); }
    std::vector<std::uint8_t> file() const { return readFile(path_); }
    std::vector<std::uint32_t> changed() const { return changedOffsets(image_.bytes(), file()); }
    // The file holds these values at these offsets; every other byte is as image_ has it.
    void expectWritten(const std::map<std::uint32_t, int>& expected, int where = 0) const {
        EXPECT_EQ(strayOffsets(image_.bytes(), file(), expected), std::vector<std::uint32_t>{})
            << where;
    }
    // A message the window showed or asked, as the user reads it: title, a line feed, the text.
    static QString text(const FakeMessageBoxes::Shown& m) { return m.title + '\n' + m.text; }
    QString lastMessage() const { return text(fake_.messages.shown.back()); }
    QString copied(const char* action) {
        child<QAction>(action)->trigger();
        return fake_.clipboard.text;
    }
    // Runs the action with every file operation failing from the at-th on; the message shown.
    QString failing(const std::function<void()>& action, long at = 1) {
        FaultPlan plan{.at = at, .persistent = true};
        ScopedFaultPlan scoped(plan);
        action();
        return fake_.messages.shown.empty() ? QString() : lastMessage();
    }

    // One fixed text the user reads per entry, and where: "Name" is the caption of the control
    // (or window) of that objectName, "Name.tip" its tooltip, "Name#3" entry 3 of its list,
    // "label" any label without a name; other keys are texts collected_ (messages).
    void expectTexts(const std::vector<std::pair<const char*, std::string>>& table) {
        for (const auto& [what, expected] : table)
            EXPECT_EQ(shown(what, expected).toStdString(), expected) << what;
    }
    QString shown(const QString& what, const std::string& expected) {
        QObject* found =
            window_->template findChild<QObject*>(what.section('.', 0, 0).section('#', 0, 0));
        QObject* object = found != nullptr ? found : window_.get();  // a name no control has
        if (collected_.count(what))
            return collected_[what];
        for (QLabel* unnamed : window_->template findChildren<QLabel*>())
            if (what == "label" && unnamed->text().toStdString() == expected)
                return unnamed->text();
        if (what.contains('.'))
            return object->property("toolTip").toString();
        if (auto* list = qobject_cast<QListWidget*>(object))
            return list->item(what.section('#', 1).toInt())->text();
        if (auto* box = qobject_cast<QComboBox*>(object))
            return box->itemText(what.section('#', 1).toInt());
        for (const char* property : {"text", "title", "windowTitle"})
            if (object->property(property).isValid())
                return object->property(property).toString();
        return {};
    }

    FakePlatform fake_;
    TempDir dir_;
    Image image_;
    std::string path_;
    ImageSession session_;
    std::unique_ptr<Window> window_;
    std::map<QString, QString> collected_;
};

}  // namespace slamwise::test
