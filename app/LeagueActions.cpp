#include "app/LeagueActions.h"

#include <QAction>
#include <QMainWindow>

#include "app/Menus.h"
#include "league/PlayersTable.h"
#include "league/RostersTable.h"

namespace slamwise {

LeagueActions::LeagueActions(QMainWindow* window, ImageSession& session, Platform platform,
                             const Menus& menus)
    : QObject(window), window_(window), session_(session), platform_(platform) {
    connect(menus.playersTable, &QAction::triggered, this, &LeagueActions::showPlayers);
    connect(menus.allRosters, &QAction::triggered, this, &LeagueActions::showRosters);
}

template <class Window>
void LeagueActions::show(QPointer<Window>& open) {
    if (!session_.isOpen()) {
        return;
    }
    if (open.isNull()) {
        open = new Window(session_, platform_, window_);
    }
    open->show();
    open->raise();
    open->activateWindow();
}

void LeagueActions::showPlayers() {
    if (session_.isOpen() && session_.image().allows(Table::Players)) {
        show(players_);
    }
}

void LeagueActions::showRosters() {
    show(rosters_);
}

bool LeagueActions::closeWindows() {
    return (players_.isNull() || players_->close()) && (rosters_.isNull() || rosters_->close());
}

}  // namespace slamwise
