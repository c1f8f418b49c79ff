#pragma once

#include <QWidget>

#include "platform/Platform.h"

namespace slamwise {

// "Make Last Player" asks this before it ends a team's roster, in the roster editor and in the
// table of all rosters alike.
inline bool askMakeLastPlayer(MessageBoxes& messages, QWidget* parent) {
    return messages.askYesNo(parent, QStringLiteral("Are you sure?"),
                             QStringLiteral("Are you sure you want to make this and all slots "
                                            "afterwards empty?  This is not reversible"));
}

}  // namespace slamwise
