#include "ui/OffsetLabels.h"

#include <QAction>
#include <QCursor>
#include <QEvent>
#include <QLabel>
#include <QMenu>

#include "platform/ShownText.h"
#include "storage/RomFile.h"

namespace slamwise {

namespace {

QLabel* offsetLabel(const char* name, const QString& placeholder) {
    auto* label = new QLabel(placeholder);
    label->setObjectName(QString::fromLatin1(name));
    label->setStyleSheet(QStringLiteral("font-weight: bold; color: blue;"));
    label->setCursor(Qt::PointingHandCursor);
    return label;
}

}  // namespace

OffsetLabels::OffsetLabels(QWidget* window, Clipboard& clipboard, const QString& menuTitle,
                           const QString& placeholder, const std::vector<Names>& offsets)
    : QObject(window), clipboard_(clipboard) {
    menu_ = new QMenu(menuTitle, window);
    menu_->setObjectName(QStringLiteral("mnuCopyParent"));
    auto addCopy = [this](const char* name, const char* caption, std::size_t offset, bool hex) {
        QAction* action = menu_->addAction(QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, [this, offset, hex] { copy(offset, hex); });
    };
    for (const Names& names : offsets) {
        const Pair pair{offsetLabel(names.hexLabel, placeholder),
                        offsetLabel(names.decimalLabel, placeholder)};
        for (QLabel* label : {pair.hex, pair.decimal}) {
            label->installEventFilter(this);
        }
        addCopy(names.hexCopy, names.hexCopyCaption, pairs_.size(), true);
        addCopy(names.decimalCopy, names.decimalCopyCaption, pairs_.size(), false);
        pairs_.push_back(pair);
    }
}

void OffsetLabels::show(std::size_t offset, std::uint32_t imageOffset, std::uint32_t headerSize) {
    const Pair& pair = pairs_.at(offset);
    pair.hex->setText(QString::fromStdString(hexOffset(imageOffset)));
    pair.decimal->setText(QString::number(imageOffset));
    pair.hex->setToolTip(offsetToolTip(imageOffset, headerSize, OffsetForm::Hex));
    pair.decimal->setToolTip(offsetToolTip(imageOffset, headerSize, OffsetForm::Decimal));
}

void OffsetLabels::reset(const QString& text) {
    for (const Pair& pair : pairs_) {
        for (QLabel* label : {pair.hex, pair.decimal}) {
            label->setText(text);
            label->setToolTip(offsetToolTip(0, 0, OffsetForm::Hex));
        }
    }
}

bool OffsetLabels::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        menu_->popup(QCursor::pos());
        return true;  // only the labels are watched
    }
    return QObject::eventFilter(watched, event);
}

// The decimal label holds the number; with no image shown it is copied as it stands.
void OffsetLabels::copy(std::size_t offset, bool hex) {
    const QString decimal = pairs_.at(offset).decimal->text();
    bool isNumber = false;
    const uint value = decimal.toUInt(&isNumber);
    clipboard_.setText(hex && isNumber ? QString::number(value, 16).toUpper() : decimal);
}

}  // namespace slamwise
