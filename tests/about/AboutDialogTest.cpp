// The About window shows all of its text: nothing cut at the top or at the right at the default
// font, and the text scrolls when a large font makes it taller than the screen.
#include <gtest/gtest.h>

#include <QtWidgets>

#include "about/AboutDialog.h"
#include "tests/support/FakePlatform.h"

namespace slamwise {
namespace {

// Every label lies wholly inside the part of the window that shows the text.
void expectAllShown(QWidget& about) {
    auto* view = about.findChild<QScrollArea*>()->viewport();
    for (const char* name : {"ProgramInfoLBL", "WarningLBL", "QuillonLBL", "URLLBL"}) {
        auto* label = about.findChild<QLabel*>(QString::fromLatin1(name));
        const QRect shown(label->mapTo(view, QPoint(0, 0)), label->size());
        EXPECT_TRUE(view->rect().contains(shown)) << name;
        const int needed =
            label->wordWrap() ? label->heightForWidth(label->width()) : label->sizeHint().height();
        EXPECT_GE(label->height(), needed) << name;
        EXPECT_GE(label->width(), label->minimumSizeHint().width()) << name;
    }
}

TEST(AboutDialog, ShowsEveryLineAndScrollsWhenTheFontIsLarge) {
    test::FakeUrlOpener urls;
    const QFont before = QApplication::font();
    for (int points : {0, 30}) {  // the default font, then a large one
        if (points != 0) {
            QFont large = before;
            large.setPointSize(points);
            QApplication::setFont(large);
        }
        AboutDialog about(urls);
        about.show();
        QApplication::processEvents();
        auto* scroll = about.findChild<QScrollArea*>();
        EXPECT_LE(about.height(), about.screen()->availableGeometry().height()) << points;
        EXPECT_EQ(scroll->horizontalScrollBar()->maximum(), 0) << points;
        if (points == 0) {
            EXPECT_EQ(scroll->verticalScrollBar()->maximum(), 0);
            expectAllShown(about);
        } else {
            EXPECT_GT(scroll->verticalScrollBar()->maximum(), 0);
        }
    }
    QApplication::setFont(before);
}

}  // namespace
}  // namespace slamwise
