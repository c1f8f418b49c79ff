#include "about/AboutDialog.h"

#include <algorithm>

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

#include "Version.h"

namespace slamwise {

const QString AboutDialog::kHomePage = QStringLiteral("https://www.example.org/");
const QString AboutDialog::kForum = QStringLiteral("https://forum.example.org/");

namespace {

// A label that shows an address and opens it when clicked.
QLabel* linkLabel(const QString& name, const QString& address, const QString& tooltip,
                  UrlOpener& urls, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setText(QStringLiteral("<a href=\"%1\" style=\"color: blue; text-decoration: "
                                  "underline;\">%1</a>")
                       .arg(address.toHtmlEscaped()));
    label->setToolTip(tooltip);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    label->setOpenExternalLinks(false);
    QObject::connect(label, &QLabel::linkActivated,
                     [&urls](const QString& link) { urls.open(QUrl(link)); });
    return label;
}

// The text scrolls when a large font makes it taller than the window; the width follows the
// window and the lines wrap.
QScrollArea* scrolling(QWidget* text, QWidget* parent) {
    auto* scroll = new QScrollArea(parent);
    scroll->setObjectName(QStringLiteral("AboutScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidgetResizable(true);
    scroll->setWidget(text);
    return scroll;
}

// Wide enough for the first lines beside a scroll bar, tall enough for all the text at the
// window's font, and never taller than the screen: then the text scrolls.
QSize fittingSize(const QWidget& window, const QWidget& text, int buttonHeight,
                  const QLayout& layout) {
    const QMargins margins = layout.contentsMargins();
    const int sides =
        margins.left() + margins.right() + window.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int width = std::max(420, text.minimumSizeHint().width() + sides);
    const int height = text.heightForWidth(width - sides) + layout.spacing() + buttonHeight +
                       margins.top() + margins.bottom();
    return {width, std::min(height, window.screen()->availableGeometry().height() * 9 / 10)};
}

}  // namespace

QString AboutDialog::programText() {
    const QString crlf = QStringLiteral("\r\n");
    QStringList lines = {
        QStringLiteral("Slamwise Player Editor"),
        QStringLiteral("Version: ") + QString::fromStdString(versionText()),
        QString(),
        QStringLiteral("Released: 05/10/2013"),
        QStringLiteral("Updated: 5/19/2013"),
        QString(),
        QStringLiteral("Thanks to the community's data hunters for their help with some of the "
                       "data and with the game modifications.  "),
        QString(),
        QStringLiteral("Dedicated to everyone who still plays on a Friday night."),
    };
    return lines.join(crlf);
}

AboutDialog::AboutDialog(UrlOpener& urls, QWidget* parent) : QDialog(parent), urls_(urls) {
    setObjectName(QStringLiteral("About"));
    setWindowTitle(QStringLiteral("About this Program..."));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("Frame1"));

    auto* image = new QLabel(frame);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(48, 48));

    auto* programInfo = new QLabel(programText(), frame);
    programInfo->setObjectName(QStringLiteral("ProgramInfoLBL"));
    programInfo->setWordWrap(true);  // the credit line breaks rather than being cut
    programInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* warning = new QLabel(
        QStringLiteral("READ THIS: Neither the maker of this program nor its author works for, or "
                       "is affiliated with, the maker of the game, the basketball league or the "
                       "maker of the console, or any of their divisions."),
        frame);
    warning->setObjectName(QStringLiteral("WarningLBL"));
    warning->setWordWrap(true);

    auto* forum = linkLabel(QStringLiteral("QuillonLBL"), kForum,
                            QStringLiteral("Visit the official forums."), urls_, frame);
    auto* homePage = linkLabel(
        QStringLiteral("URLLBL"), kHomePage,
        QStringLiteral("Come and visit the home page for more tools and news."), urls_, frame);

    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("CloseCMD"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* top = new QHBoxLayout;
    top->addWidget(image, 0, Qt::AlignTop);
    top->addWidget(programInfo, 1);
    auto* inner = new QVBoxLayout(frame);
    inner->addLayout(top);
    inner->addWidget(warning);
    inner->addWidget(forum);
    inner->addWidget(homePage);
    inner->addStretch();

    auto* scroll = scrolling(frame, this);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroll, 1);
    layout->addLayout(buttons);

    resize(fittingSize(*this, *frame, close->sizeHint().height(), *layout));
}

}  // namespace slamwise
