// The real desktop services, under Qt's offscreen platform.
#include "platform/QtPlatform.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>

#include "app/MainWindow.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/ImageBuilder.h"

namespace slamwise {
namespace {

// A name saved without an extension gets the one of the file type chosen.
TEST(QtPlatform, ASavedNameWithoutExtensionGetsTheChosenTypes) {
    const FileTypeFilter bps{"BPS Patch (*.bps)", "*.bps"};
    const FileTypeFilter roms{"ROM Files", "*.smc;*.swc"};
    const FileTypeFilter all{"All Files (*.*)", "*.*"};
    const std::tuple<const char*, FileTypeFilter, const char*> cases[] = {
        {"/p/my-rosters", bps, "/p/my-rosters.bps"},
        {"/p/my-rosters.ips", bps, "/p/my-rosters.ips"},
        {"/p/my.rosters", bps, "/p/my.rosters"},
        {"/p.d/my-rosters", bps, "/p.d/my-rosters.bps"},
        {"/p/game", roms, "/p/game.smc"},
        {"/p/game", all, "/p/game"},
    };
    for (const auto& [typed, type, saved] : cases) {
        EXPECT_EQ(withTypeExtension(typed, type), saved) << typed;
    }
}

// The dialog lists the types by their captions under its title, in the start folder, and
// itself adds the type's extension, so its question before replacing a file names the file that
// is written.
TEST(QtPlatform, TheSaveDialogListsTheTypesAndAddsTheExtensionOfTheTypeChosenInIt) {
    test::TempDir folder;
    QtFileDialog files;
    const FileQuestion question{
        "Save Patch As",
        {{"IPS Patch (*.ips)", "*.ips;*.IPS"}, {"BPS Patch (*.bps)", "*.bps"}},
        1,
        folder.path().c_str()};
    for (int type : {1, 0}) {
        QTimer::singleShot(0, [type, &folder] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
            EXPECT_EQ(dialog->nameFilters(), QStringList({"IPS Patch (*.ips) (*.ips *.IPS)",
                                                          "BPS Patch (*.bps) (*.bps)"}));
            EXPECT_EQ(QStringList({types->itemText(0), types->itemText(1), dialog->windowTitle(),
                                   dialog->directory().absolutePath()}),
                      QStringList({"IPS Patch (*.ips)", "BPS Patch (*.bps)", "Save Patch As",
                                   QString::fromStdString(folder.path().string())}));
            EXPECT_EQ(types->currentIndex(), 1);  // before the test chooses
            types->setCurrentIndex(type);
            emit types->activated(type);  // as a click on the entry does
            emit types->textActivated(types->itemText(type));
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText("my-rosters");
            QMetaObject::invokeMethod(dialog, "accept");
        });
        EXPECT_EQ(files.saveFile(nullptr, question).value_or("").toStdString(),
                  folder.file(type == 1 ? "my-rosters.bps" : "my-rosters.ips"));
    }
}

// Qt keeps the user's INI files in ~/.config (XDG_CONFIG_HOME); it takes that folder once per
// process, so a scratch folder is set in its place.
TEST(QtPlatform, SettingsGoToTheUsersIniFileAndComeBack) {
    test::TempDir config;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config.path().c_str());
    {
        QtSettings settings;
        test::FakePlatform fake;
        const Platform platform{fake.files, fake.messages, fake.clipboard, settings, fake.urls};
        MainWindow window(platform, "/opt/x");
        window.findChild<QAction*>("mnuAutoFixChecksum")->trigger();
        window.findChild<QAction*>("mnuExit")->trigger();  // the first-run keys, once
        window.close();
        MainWindow(platform, "/b").close();
        UserSettings(settings).setLastFile("/roms/a b.sfc");
        UserSettings(settings).setShowExpandedData(false);
    }
    QString ini =
        QString::fromLatin1(QByteArrayView(test::readFile(config.file("Korvanex/Korvanex.ini"))));
    EXPECT_EQ(ini.replace(QRegularExpression("Installation=.*\n"), "Installation=DATE\n"),
              "[Slamwise%20Player%20Editor]\nApplication%20Path=/opt/x\n"
              "Date%20of%20Installation=DATE\nDo%20ya%20love%20me%3F=Of course!\n"
              "Fix%20Checksum=1\nLast%20File=/roms/a b.sfc\nLast%20Version%20Used=v0.36\n"
              "Show%20Expanded%20Data=0\nVisual%20Data%20Expanded=0\n");
    QtSettings again;
    EXPECT_EQ(again.value("Last File"), "/roms/a b.sfc");
    EXPECT_EQ(again.value("No such key"), "");
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

TEST(QtPlatform, MessageBoxesShowTheirIconTextAndButtons) {
    QtMessageBoxes boxes;
    // Runs check on the box that comes up next, then presses its button press.
    auto onBox = [](QMessageBox::StandardButton press, std::function<void(QMessageBox*)> check) {
        QTimer::singleShot(0, [=] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            check(box);
            box->button(press)->click();
        });
    };
    using Icon = MessageBoxes::Icon;
    for (auto [icon, shown] : {std::pair{Icon::Question, QMessageBox::Question},
                               {Icon::Exclamation, QMessageBox::Warning},
                               {Icon::Information, QMessageBox::Information},
                               {Icon::Critical, QMessageBox::Critical}}) {
        onBox(QMessageBox::Ok, [shown = shown](QMessageBox* box) {
            EXPECT_EQ(box->icon(), shown);
            EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
            EXPECT_EQ(QStringList({box->windowTitle(), box->text(), box->informativeText()}),
                      QStringList({"Title", "<b>text</b>", "reason"}));
            EXPECT_EQ(box->textFormat(), Qt::PlainText);  // shown as written, tags and all
        });
        boxes.show(nullptr, icon, "Title", "<b>text</b>", "reason");
    }
    for (auto press : {QMessageBox::Yes, QMessageBox::No}) {
        onBox(press, [](QMessageBox* box) {
            EXPECT_EQ(box->icon(), QMessageBox::Question);
            EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
            EXPECT_EQ(static_cast<QAbstractButton*>(box->defaultButton()),
                      box->button(QMessageBox::Yes));
        });
        EXPECT_EQ(boxes.askYesNo(nullptr, "Are you sure?", "Text"), press == QMessageBox::Yes);
    }
}

}  // namespace
}  // namespace slamwise
