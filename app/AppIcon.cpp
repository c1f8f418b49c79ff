#include "app/AppIcon.h"

#include "Version.h"

namespace slamwise {

QIcon applicationIcon() {
    const QString id = QString::fromLatin1(kApplicationId);
    return QIcon::fromTheme(id, QIcon(QStringLiteral(":/icons/%1.svg").arg(id)));
}

}  // namespace slamwise
