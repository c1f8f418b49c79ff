#include "app/Menus.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QUrl>

#include "about/AboutDialog.h"
#include "platform/ShownText.h"

namespace slamwise {

namespace {

const QString kLastFilePrefix = QStringLiteral("1: ");

QAction* menuEntry(QMenu* menu, const char* name, const QString& caption,
                   const QKeySequence& shortcut = {}) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    return action;
}

void addSeparator(QMenu* menu, const char* name) {
    menu->addSeparator()->setObjectName(QString::fromLatin1(name));
}

QMenu* namedMenu(QMainWindow* window, const char* name, const QString& caption) {
    QMenu* menu = window->menuBar()->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

}  // namespace

Menus::Menus(QMainWindow* window) : QObject(window) {
    createFileMenu(namedMenu(window, "mnuFile", QStringLiteral("&File")));
    createEditMenu(namedMenu(window, "mnuEdit", QStringLiteral("&Edit")));
    createStuffAndInformationMenus(window);
    apply({});
}

void Menus::createFileMenu(QMenu* file) {
    open =
        menuEntry(file, "mnuOpen", QStringLiteral("&Open ROM"), QKeySequence(Qt::CTRL | Qt::Key_O));
    close = menuEntry(file, "mnuClose", QStringLiteral("C&lose ROM"),
                      QKeySequence(Qt::CTRL | Qt::Key_L));
    save =
        menuEntry(file, "mnuSave", QStringLiteral("&Save ROM"), QKeySequence(Qt::CTRL | Qt::Key_S));
    addSeparator(file, "mnuSepChecksum");
    fixChecksum = menuEntry(file, "mnuFixChecksum", QStringLiteral("Fix Checksum"));
    autoFixChecksum =
        menuEntry(file, "mnuAutoFixChecksum", QStringLiteral("Fix Checksum After Every Change"));
    autoFixChecksum->setCheckable(true);
    createPatch = menuEntry(file, "mnuCreatePatch", QStringLiteral("Create Patch..."));
    applyPatch = menuEntry(file, "mnuApplyPatch", QStringLiteral("Apply Patch..."));
    addSeparator(file, "mnusep1");
    lastFile = menuEntry(file, "mnuLastFile", kLastFilePrefix);
    addSeparator(file, "mnuSep2");
    exit = menuEntry(file, "mnuExit", QStringLiteral("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_X));
}

void Menus::createEditMenu(QMenu* edit) {
    undo = menuEntry(edit, "mnuUndo", QStringLiteral("Undo"), QKeySequence::Undo);
    redo = menuEntry(edit, "mnuRedo", QStringLiteral("Redo"), QKeySequence::Redo);
    for (QAction* action : {undo, redo}) {
        // A focused text box keeps these keys for its own typing.
        action->setShortcutContext(Qt::WindowShortcut);
    }
}

void Menus::createStuffAndInformationMenus(QMainWindow* window) {
    QMenu* stuff = namedMenu(window, "mnuStuff", QStringLiteral("S&tuff"));
    cheats = menuEntry(stuff, "mnuCheats", QStringLiteral("&Cheat Codes"));
    playersTable = menuEntry(stuff, "mnuPlayersTable", QStringLiteral("Players &Table..."),
                             QKeySequence(Qt::CTRL | Qt::Key_T));
    allRosters = menuEntry(stuff, "mnuAllRosters", QStringLiteral("All &Rosters..."));
    // Two places kept for features to come; they stay disabled.
    menuEntry(stuff, "mnuFeature2", QStringLiteral("Dummy"))->setEnabled(false);
    menuEntry(stuff, "mnuFeature3", QStringLiteral("Dummy"))->setEnabled(false);

    QMenu* info = namedMenu(window, "mnuInfo", QStringLiteral("&Information"));
    homepage = menuEntry(info, "mnuHomepage", QUrl(AboutDialog::kHomePage).host(),
                         QKeySequence(Qt::Key_F12));
    addSeparator(info, "mnuSep3");
    about = menuEntry(info, "mnuAbout", QStringLiteral("&About"), QKeySequence(Qt::Key_F1));
}

void Menus::apply(const MenuState& state) {
    open->setEnabled(!state.imageOpen);
    close->setEnabled(state.imageOpen);
    save->setEnabled(state.imageOpen && state.playerData);
    fixChecksum->setEnabled(state.imageOpen && state.checksumStale);
    createPatch->setEnabled(state.imageOpen);
    applyPatch->setEnabled(state.imageOpen);
    lastFile->setText(kLastFilePrefix + asMenuText(state.lastFile));
    lastFile->setEnabled(!state.imageOpen && !state.lastFile.isEmpty());
    cheats->setEnabled(state.imageOpen && state.cheats);
    playersTable->setEnabled(state.imageOpen && state.playerData);
    allRosters->setEnabled(state.imageOpen);
    undo->setText(state.undoLabel.isEmpty() ? QStringLiteral("Undo")
                                            : QStringLiteral("Undo ") + state.undoLabel);
    redo->setText(state.redoLabel.isEmpty() ? QStringLiteral("Redo")
                                            : QStringLiteral("Redo ") + state.redoLabel);
    undo->setEnabled(!state.undoLabel.isEmpty());
    redo->setEnabled(!state.redoLabel.isEmpty());
}

}  // namespace slamwise
