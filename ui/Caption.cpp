#include "ui/Caption.h"

#include "Version.h"

namespace slamwise {

QString programCaption() {
    return QStringLiteral("Slamwise Player Editor (v%1)")
        .arg(QString::fromStdString(versionText()));
}

}  // namespace slamwise
