// What a person meets on the desktop: the file dialog's types, texts from files shown exactly,
// the keyboard after an opening, dropping a file, the command line, and file offsets.
#include <gtest/gtest.h>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <sys/stat.h>

#include <filesystem>

#include "app/MainWindow.h"
#include "platform/QtPlatform.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/ImageBuilder.h"
#include "tests/support/Unprivileged.h"

namespace slamwise {
namespace {

using test::Image;
using test::ImageOptions;

class DesktopTest : public ::testing::Test {
  protected:
    void SetUp() override { window = std::make_unique<MainWindow>(fake.platform(), "/opt/editor"); }

    QString makeImage(const std::filesystem::path& path, ImageOptions options = {}) {
        std::filesystem::create_directories(path.parent_path());
        return QString::fromStdString(Image(options).writeTo(path));
    }
    void start(std::optional<QString> path) {
        fake.files.answers.push_back(path);
        window->Form_Load();
    }
    QAction* action(const char* name) { return window->findChild<QAction*>(name); }
    QString lastFile() { return fake.settings.value(QStringLiteral("Last File")); }

    // Drags path over the window and drops it there; true when the window took the drag.
    bool drop(const QString& path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(window.get(), &enter);
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(window.get(), &dropped);
        return enter.isAccepted();
    }

    test::TempDir dir;
    test::FakePlatform fake;
    std::unique_ptr<MainWindow> window;
};

TEST_F(DesktopTest, TheFileTypesReadAsWritten) {
    start(std::nullopt);
    ASSERT_EQ(fake.files.calls.size(), 1u);
    std::unique_ptr<QFileDialog> dialog = QtFileDialog::makeDialog(
        nullptr, fake.files.calls[0].filters, fake.files.calls[0].selectedFilter);
    auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
    QStringList shown;
    for (int i = 0; i < types->count(); ++i) {
        shown << types->itemText(i);
    }
    EXPECT_EQ(shown,
              QStringList({"All Files (*.*)", "All SNES ROM Files (*.swc, *.smc, *.sfc, *.fig)",
                           "Super MagiCom ROM File (*.smc)", "Super Wild Card ROM File (*.swc)",
                           "Super Famicom ROM File (*.sfc)",
                           "Super UFO 8/Pro Fighter X ROM File (*.fig)"}));
    EXPECT_EQ(types->currentIndex(), 1);
}

TEST_F(DesktopTest, PathsAndTitlesShowExactly) {
    const QString title = QStringLiteral("R&D [*] EDITION TEST ");
    QString path =
        makeImage(dir.path() / "R&D" / "a&b.sfc", ImageOptions{.title = title.toStdString()});
    start(path);
    window->winId();  // the caption as the desktop gets it
    EXPECT_EQ(window->windowHandle()->title(),
              "Slamwise Player Editor (v0.36) - ''" + title + "'' [North America]");
    action("mnuClose")->trigger();
    EXPECT_EQ(action("mnuLastFile")->iconText(), "1: " + path);  // the text without access keys
}

TEST_F(DesktopTest, ARememberedFileBehindAClosedFolderIsKept) {
    test::Unprivileged::openUp(dir.path());
    QString path = makeImage(dir.path() / "closed" / "game.sfc");
    ::chmod((dir.path() / "closed").c_str(), 0700);
    fake.settings.values[QStringLiteral("Last File")] = path;
    start(std::nullopt);
    fake.messages.shown.clear();
    {
        test::Unprivileged unprivileged;
        action("mnuLastFile")->trigger();
    }
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].details.contains("Permission denied"));
    EXPECT_EQ(lastFile(), path);
}

TEST_F(DesktopTest, AfterAnOpeningTheKeysGoToThePlayerList) {
    start(std::nullopt);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    fake.files.answers.push_back(makeImage(dir.path() / "game.sfc"));
    action("mnuOpen")->trigger();
    auto* players = window->findChild<QListWidget*>("PlayerLST");
    ASSERT_EQ(QApplication::focusWidget(), players);
    QTest::keyClick(players, Qt::Key_Down);
    EXPECT_EQ(players->currentRow(), 1);

    QTest::keyClick(players, Qt::Key_X, Qt::ControlModifier);  // File > Exit
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(fake.settings.value("Do ya love me?"), "Of course!");
}

TEST_F(DesktopTest, ADroppedImageOpensWhenNoneIsOpen) {
    start(std::nullopt);
    QString path = makeImage(dir.path() / "dropped.sfc");
    EXPECT_TRUE(drop(path));
    EXPECT_TRUE(window->romOpen());
    EXPECT_EQ(lastFile(), path);
    EXPECT_EQ(action("mnuLastFile")->text(), "1: " + path);

    QString other = makeImage(dir.path() / "other.sfc");
    EXPECT_FALSE(drop(other));
    EXPECT_EQ(lastFile(), path);
    EXPECT_FALSE(window->statusBar()->currentMessage().isEmpty());
}

TEST_F(DesktopTest, AnImageNamedOnTheCommandLineOpensWithoutTheDialog) {
    window->Form_Load(makeImage(dir.path() / "named.sfc"));
    EXPECT_TRUE(fake.files.calls.empty());
    EXPECT_TRUE(window->romOpen());
}

TEST_F(DesktopTest, OffsetsBehindACopierHeaderGiveTheFileOffsetInTheirTooltips) {
    start(makeImage(dir.path() / "headered.smc", ImageOptions{.copierHeader = true}));
    // Label, the image offset it shows, the file offset its tooltip adds (512 more).
    using Shown = std::tuple<const char*, const char*, const char*>;
    auto check = [](QWidget* window, std::initializer_list<Shown> labels) {
        for (auto [name, text, inFile] : labels) {
            auto* label = window->findChild<QLabel*>(name);
            EXPECT_EQ(label->text(), text);
            EXPECT_TRUE(label->toolTip().contains(inFile)) << label->toolTip().toStdString();
        }
    };
    check(window.get(), {{"VisualHEXLBL", "$930C9", "$932C9"},
                         {"VisualDECLBL", "602313", "602825"},
                         {"ActualHEXLBL", "$1FB8CF", "$1FBACF"},
                         {"ActualDECLBL", "2078927", "2079439"}});
    QTimer::singleShot(0, [&] {
        QWidget* roster = QApplication::activeModalWidget();
        roster->findChild<QListWidget*>("TeamLST")->setCurrentRow(0);
        check(roster, {{"HEXLBL", "$B18CF", "$B1ACF"}, {"DECLBL", "727247", "727759"}});
        roster->close();
    });
    window->findChild<QPushButton*>("TeamEditCMD")->click();
}

}  // namespace
}  // namespace slamwise
