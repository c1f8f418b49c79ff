#pragma once

#include <QString>

namespace slamwise {

// "Slamwise Player Editor (v0.36)": the program's caption, and the title of its messages.
QString programCaption();

}  // namespace slamwise
