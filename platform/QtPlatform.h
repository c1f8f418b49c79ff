#pragma once

#include <QSettings>
#include <memory>

class QFileDialog;

#include "platform/Platform.h"

namespace slamwise {

class QtFileDialog final : public FileDialog {
  public:
    std::optional<QString> openFile(QWidget* parent, const std::vector<FileTypeFilter>& filters,
                                    int selectedFilter) override;
    std::optional<QString> saveFile(QWidget* parent, const std::vector<FileTypeFilter>& filters,
                                    int selectedFilter) override;
    // The dialog that openFile shows, set up but not shown.
    static std::unique_ptr<QFileDialog> makeDialog(QWidget* parent,
                                                   const std::vector<FileTypeFilter>& filters,
                                                   int selectedFilter);
};

class QtMessageBoxes final : public MessageBoxes {
  public:
    void show(QWidget* parent, Icon icon, const QString& title, const QString& text,
              const QString& details) override;
    bool askYesNo(QWidget* parent, const QString& title, const QString& text) override;
    Choice askApplyDiscardCancel(QWidget* parent, const QString& title,
                                 const QString& text) override;
};

class QtClipboard final : public Clipboard {
  public:
    void setText(const QString& text) override;
    QString plainText() override;
};

// Kept in the user's configuration folder as INI text: ~/.config/Korvanex/Korvanex.ini on
// Linux, section [Slamwise%20Player%20Editor] (QSettings writes blanks and '?' in section and
// key names escaped: "Last%20File", "Do%20ya%20love%20me%3F").
class QtSettings final : public Settings {
  public:
    QtSettings();
    QString value(const QString& key) override;
    void setValue(const QString& key, const QString& value) override;

  private:
    QSettings store_;
};

class QtUrlOpener final : public UrlOpener {
  public:
    void open(const QUrl& url) override;
};

// All real services in one place, for main().
struct QtPlatform {
    QtFileDialog files;
    QtMessageBoxes messages;
    QtClipboard clipboard;
    QtSettings settings;
    QtUrlOpener urls;

    Platform platform() { return {files, messages, clipboard, settings, urls}; }
};

}  // namespace slamwise
