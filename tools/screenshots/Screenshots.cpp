// Makes the README's pictures of the main, roster, cheat and players table windows: a synthetic
// image is opened under Qt's offscreen platform, each window is shown at a fixed size, in a fixed
// style and font, and drawn with QWidget::grab, so every run draws the same pixels.
//
//     slamwise_screenshots OUTPUT_FOLDER            (run by tools/screenshots/make-screenshots.sh)
//     slamwise_screenshots --compare DOCS_FOLDER    (the test: the committed pictures are what
//                                                    the windows draw now)
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFont>
#include <QImage>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "app/ChangesWindow.h"
#include "app/MainWindow.h"
#include "game/CheatBytes.h"
#include "game/PlayerEdit.h"
#include "game/RosterTable.h"
#include "image/Changes.h"
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

// Where the pictures go, or, when comparing, the folder of the committed pictures.
struct Target {
    QDir folder;
    bool compare = false;
};

// Saves what the window draws as name, or compares it with the picture of that name.
bool save(QWidget* window, const Target& target, const QString& name) {
    QApplication::processEvents();
    const QString file = target.folder.filePath(name);
    const QImage drawn = window->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    if (target.compare) {
        const QImage committed(file);
        if (committed.convertToFormat(QImage::Format_ARGB32) == drawn) {
            return true;
        }
        std::fprintf(stderr,
                     "docs/%s differs from what the window draws now (%dx%d, drawn %dx%d); run "
                     "tools/screenshots/make-screenshots.sh and commit the pictures\n",
                     qPrintable(name), committed.width(), committed.height(), drawn.width(),
                     drawn.height());
        return false;
    }
    if (!drawn.save(file)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    return true;
}

// Runs prepare on the modal window that start opens, saves it as name and closes it.
bool saveModal(const std::function<void()>& start, const std::function<void(QWidget*)>& prepare,
               const Target& target, const QString& name) {
    bool saved = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr) {
            prepare(modal);
            saved = save(modal, target, name);
            modal->close();
        }
    });
    start();
    return saved;
}

// The players table with a few rows and one unapplied change, then closed without it.
bool savePlayersTable(MainWindow& window, test::FakePlatform& fake, const Target& target) {
    window.findChild<QAction*>(QStringLiteral("mnuPlayersTable"))->trigger();
    auto* table = window.findChild<QWidget*>(QStringLiteral("PlayersTable"));
    if (table == nullptr) {
        std::fprintf(stderr, "the players table did not open\n");
        return false;
    }
    table->resize(900, 300);
    auto* view = table->findChild<QTableView*>(QStringLiteral("PlayersTBL"));
    view->model()->setData(view->model()->index(2, 4), 9, Qt::EditRole);
    view->setCurrentIndex(view->model()->index(2, 4));
    const bool saved = save(table, target, QStringLiteral("players-table.png"));
    fake.messages.choices = {MessageBoxes::Choice::Discard};
    table->close();
    return saved;
}

// What "Apply Patch..." shows before it writes: a few players, a slot and a cheat changed.
bool savePatchPreview(const Target& target) {
    const test::Image image;
    const std::span<const std::uint8_t> before(image.bytes());
    Edit edit;
    for (int player = 10; player < 13; ++player) {
        PlayerEdit save;
        save.player = player;
        save.ratings = {7, 8, 6, 5, 9, 4, 3, 8};
        save.encode(edit, VisualLayout::Standard);
    }
    (void)writeSlot(edit, 3, 4, {0x20, 0x21});
    writeCheatBytes(edit, {0x80, 0x00});
    const std::vector<std::uint8_t> after = withEdit(before, edit);
    ChangesWindow window(ChangesWindow::Purpose::ApplyPatch,
                         gameChangesBetween(before, after, Release::NorthAmerica, defaultNames()),
                         {}, nullptr);
    window.resize(640, 360);
    window.show();
    return save(&window, target, QStringLiteral("patch-preview.png"));
}

}  // namespace

// The same pixels on every run: the offscreen platform, the Fusion style, a font the project's
// set-up installs, no blinking text cursor.
void fixLooks() {
    QApplication::setStyle(QStringLiteral("Fusion"));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    font.setHintingPreference(QFont::PreferFullHinting);
    QApplication::setFont(font);
    QApplication::setCursorFlashTime(0);
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool compare = argc == 3 && QByteArray(argv[1]) == "--compare";
    if (argc != 2 && !compare) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n       %s --compare DOCS_FOLDER\n", argv[0],
                     argv[0]);
        return 2;
    }
    fixLooks();
    const Target target{QDir(QString::fromLocal8Bit(argv[argc - 1])), compare};
    if (!compare) {
        target.folder.mkpath(QStringLiteral("."));
    }

    test::TempDir dir;
    std::string image = makeImage(dir);
    if (image.empty()) {
        return 1;
    }
    test::FakePlatform fake;  // nothing of the user's settings is read or written
    MainWindow window(fake.platform(), QString::fromStdString(dir.path().string()));
    window.Form_Load(QString::fromStdString(image));
    window.resize(window.sizeHint().expandedTo(window.minimumSizeHint()));
    window.show();
    bool saved = save(&window, target, QStringLiteral("main-window.png"));

    saved &=
        saveModal([&] { window.findChild<QPushButton*>(QStringLiteral("TeamEditCMD"))->click(); },
                  [](QWidget* roster) {
                      roster->findChild<QListWidget*>(QStringLiteral("TeamLST"))->setCurrentRow(0);
                      roster->findChild<QListWidget*>(QStringLiteral("SlotLST"))->setCurrentRow(2);
                  },
                  target, QStringLiteral("roster-editor.png"));
    saved &= saveModal([&] { window.findChild<QAction*>(QStringLiteral("mnuCheats"))->trigger(); },
                       [](QWidget*) {}, target, QStringLiteral("cheat-codes.png"));
    saved &= savePlayersTable(window, fake, target);
    saved &= savePatchPreview(target);
    window.close();
    return saved ? 0 : 1;
}
