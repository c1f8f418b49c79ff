#pragma once

#include "league/LeagueWindow.h"

namespace slamwise {

class RostersModel;

// "All Rosters": the 20 slots of the 29 teams in one table. A cell's two entry codes are chosen
// from the list of players; "Make Last Player" (the cell's context menu) ends the team's roster
// there at once, as the roster editor does.
class RostersTable : public LeagueWindow {
    Q_OBJECT
  public:
    RostersTable(ImageSession& session, Platform platform, QWidget* parent = nullptr);

    void makeLastPlayer();

  private:
    RostersModel* rosters_;
};

}  // namespace slamwise
