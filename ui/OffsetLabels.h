#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <vector>

#include "platform/Platform.h"

class QAction;
class QLabel;
class QMenu;
class QWidget;

namespace slamwise {

// The blue offset labels of a window with their copy menu. Each offset shows as a pair of
// labels, hex ("$930C9") and decimal ("602313"); a click on any label pops up the menu, whose
// entries put one offset on the clipboard, hex or decimal. The tooltips give the offset in the
// file too when the image has a copier header. The window places the labels in its layout.
class OffsetLabels : public QObject {
    Q_OBJECT
  public:
    // The objectNames and menu captions of one offset's labels and copy entries.
    struct Names {
        const char* hexLabel;
        const char* decimalLabel;
        const char* hexCopy;
        const char* hexCopyCaption;
        const char* decimalCopy;
        const char* decimalCopyCaption;
    };

    // The menu (objectName "mnuCopyParent", caption menuTitle) belongs to window; the labels
    // start with placeholder as their text. The copies go to clipboard.
    OffsetLabels(QWidget* window, Clipboard& clipboard, const QString& menuTitle,
                 const QString& placeholder, const std::vector<Names>& offsets);

    QLabel* hexLabel(std::size_t offset) const { return pairs_.at(offset).hex; }
    QLabel* decimalLabel(std::size_t offset) const { return pairs_.at(offset).decimal; }

    // Shows one offset of the image, its tooltips with the file offset behind headerSize bytes.
    void show(std::size_t offset, std::uint32_t imageOffset, std::uint32_t headerSize);
    // Every label shows text; the tooltips only say that a click copies.
    void reset(const QString& text);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Pair {
        QLabel* hex = nullptr;
        QLabel* decimal = nullptr;
    };

    void copy(std::size_t offset, bool hex);

    Clipboard& clipboard_;
    QMenu* menu_ = nullptr;
    std::vector<Pair> pairs_;
};

}  // namespace slamwise
