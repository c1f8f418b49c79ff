#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "image/Changes.h"

namespace slamwise {

// A list of changes in the game's terms, one line each as the command line prints them, with
// their summary below. As "Apply Patch" it previews a patch before anything is written and
// offers Apply and Cancel; as "Compare" it shows what another image changes and only closes.
class ChangesWindow : public QDialog {
    Q_OBJECT
  public:
    enum class Purpose { ApplyPatch, Compare };

    // message, when given, is shown above the list (what the user should be told or warned of).
    ChangesWindow(Purpose purpose, const std::vector<Change>& changes, const QString& message,
                  QWidget* parent);
};

}  // namespace slamwise
