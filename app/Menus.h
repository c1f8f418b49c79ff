#pragma once

#include <QObject>
#include <QString>

class QAction;
class QMainWindow;
class QMenu;

namespace slamwise {

// What the menus can offer at a moment: every enabled state and changing caption of the menu
// bar follows from these facts alone.
struct MenuState {
    bool imageOpen = false;
    bool playerData = false;     // the open image's player data can be written (Save ROM)
    bool cheats = false;         // the open image's release has cheat codes
    QString lastFile;            // the remembered image ("1: " entry), empty when none
    bool checksumStale = false;  // the open image's checksum does not match its bytes
    QString undoLabel;           // what Undo takes back; empty when nothing
    QString redoLabel;           // what Redo writes again; empty when nothing
};

// The main window's menu bar: File, Edit, Stuff and Information with every entry named and
// captioned as the program has always had them. The entries only emit; the main window and the
// action units connect them. apply() is the one place that sets what is enabled.
class Menus : public QObject {
    Q_OBJECT
  public:
    explicit Menus(QMainWindow* window);

    void apply(const MenuState& state);

    QAction* open = nullptr;
    QAction* close = nullptr;
    QAction* save = nullptr;
    QAction* fixChecksum = nullptr;
    QAction* autoFixChecksum = nullptr;
    QAction* createPatch = nullptr;
    QAction* applyPatch = nullptr;
    QAction* lastFile = nullptr;
    QAction* exit = nullptr;
    QAction* undo = nullptr;
    QAction* redo = nullptr;
    QAction* cheats = nullptr;
    QAction* playersTable = nullptr;
    QAction* allRosters = nullptr;
    QAction* homepage = nullptr;
    QAction* about = nullptr;

  private:
    void createFileMenu(QMenu* file);
    void createEditMenu(QMenu* edit);
    void createStuffAndInformationMenus(QMainWindow* window);
};

}  // namespace slamwise
