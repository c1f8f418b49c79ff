// The windows' icon: the program's own, also when it is not installed.
#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>

#include "app/AppIcon.h"

namespace slamwise {
namespace {

TEST(AppIcon, IsTheProgramsOwnWithoutAnInstalledTheme) {
    QIcon::setThemeName(QStringLiteral("no-such-theme"));
    const QImage drawn = applicationIcon().pixmap(64, 64).toImage();
    ASSERT_EQ(drawn.size(), QSize(64, 64));
    // The dark blue square of dist/'s svg, with rounded corners.
    EXPECT_EQ(drawn.pixelColor(8, 12).name(), "#24396b");
    EXPECT_EQ(drawn.pixelColor(0, 0).alpha(), 0);
}

}  // namespace
}  // namespace slamwise
