#pragma once

#include <QObject>
#include <QPointer>

#include "platform/Platform.h"

class QMainWindow;

namespace slamwise {

class ImageSession;
class Menus;
class PlayersTable;
class RostersTable;

// Stuff > "Players Table..." and "All Rosters...": each opens its window, or brings the open one
// to the front. The windows follow the session and close with the image.
class LeagueActions : public QObject {
  public:
    LeagueActions(QMainWindow* window, ImageSession& session, Platform platform,
                  const Menus& menus);

    void showPlayers();
    void showRosters();
    // Closes the open tables, each asking about its unapplied changes; false when the user kept
    // one open.
    bool closeWindows();

  private:
    template <class Window>
    void show(QPointer<Window>& open);

    QMainWindow* window_;
    ImageSession& session_;
    Platform platform_;
    QPointer<PlayersTable> players_;
    QPointer<RostersTable> rosters_;
};

}  // namespace slamwise
