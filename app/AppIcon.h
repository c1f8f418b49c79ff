#pragma once

#include <QIcon>

namespace slamwise {

// The program's icon: the installed one, as the desktop's icon theme has it, else the copy
// built into the program (dist/'s svg), so a build that is not installed has it too.
QIcon applicationIcon();

}  // namespace slamwise
