// Makes the README's pictures of the main, roster and cheat windows: a synthetic image is
// opened under Qt's offscreen platform, each window is shown and saved with QWidget::grab.
//
//     slamwise_screenshots OUTPUT_FOLDER     (run by tools/screenshots/make-screenshots.sh)
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "app/MainWindow.h"
#include "game/CheatBytes.h"
#include "game/PlayerEdit.h"
#include "game/RosterTable.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/ImageBuilder.h"

namespace {

using namespace slamwise;

// A synthetic image with believable values where the pictures look.
std::string makeImage(const test::TempDir& dir) {
    std::string path = test::Image().writeTo(dir.path() / "game.sfc");
    Result<RomFile> rom = RomFile::open(path);
    if (!rom) {
        std::fprintf(stderr, "%s\n", rom.error().c_str());
        return {};
    }
    Edit edit;
    for (int player = 0; player < 5; ++player) {
        PlayerEdit save;
        save.player = player;
        save.ratings = {9 - player, 6, 4 + player, 7, 5, 6, 3, 8};  // in the visual record's order
        save.ai = 13;
        save.skin = Skin::White;
        save.height = Height::Normal;
        save.encode(edit, VisualLayout::Standard);
    }
    for (int slot = 0; slot < kRosterSlotCount; ++slot) {
        RosterSlot codes{static_cast<std::uint8_t>(1 + 2 * slot),
                         static_cast<std::uint8_t>(2 + 2 * slot)};
        if (slot >= 8) {
            codes = {kEndOfRosterCode, 0};
        }
        if (Status written = writeSlot(edit, 0, slot, codes); !written) {
            std::fprintf(stderr, "%s\n", written.message().c_str());
            return {};
        }
    }
    writeCheatBytes(edit, {0x81, 0x02});
    if (Status status = rom->apply(edit); !status) {
        std::fprintf(stderr, "%s\n", status.message().c_str());
        return {};
    }
    return path;
}

bool save(QWidget* window, const QDir& folder, const QString& name) {
    QApplication::processEvents();
    const QString file = folder.filePath(name);
    if (!window->grab().save(file)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    return true;
}

// Runs prepare on the modal window that start opens, saves it as name and closes it.
bool saveModal(const std::function<void()>& start, const std::function<void(QWidget*)>& prepare,
               const QDir& folder, const QString& name) {
    bool saved = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr) {
            prepare(modal);
            saved = save(modal, folder, name);
            modal->close();
        }
    });
    start();
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    QDir folder(QString::fromLocal8Bit(argv[1]));
    folder.mkpath(QStringLiteral("."));

    test::TempDir dir;
    std::string image = makeImage(dir);
    if (image.empty()) {
        return 1;
    }
    test::FakePlatform fake;  // nothing of the user's settings is read or written
    MainWindow window(fake.platform(), QString::fromStdString(dir.path().string()));
    window.Form_Load(QString::fromStdString(image));
    window.show();
    bool saved = save(&window, folder, QStringLiteral("main-window.png"));

    saved &=
        saveModal([&] { window.findChild<QPushButton*>(QStringLiteral("TeamEditCMD"))->click(); },
                  [](QWidget* roster) {
                      roster->findChild<QListWidget*>(QStringLiteral("TeamLST"))->setCurrentRow(0);
                      roster->findChild<QListWidget*>(QStringLiteral("SlotLST"))->setCurrentRow(2);
                  },
                  folder, QStringLiteral("roster-editor.png"));
    saved &= saveModal([&] { window.findChild<QAction*>(QStringLiteral("mnuCheats"))->trigger(); },
                       [](QWidget*) {}, folder, QStringLiteral("cheat-codes.png"));
    window.close();
    return saved ? 0 : 1;
}
