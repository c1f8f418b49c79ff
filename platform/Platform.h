#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>
#include <vector>

class QWidget;

namespace slamwise {

// The services of the desktop that the windows use. The program passes the real ones
// (QtPlatform.h); tests pass fakes that record what was asked and answer as told, so no test
// ever waits on a modal dialog.

// One entry of the open-file dialog's list of file types: the caption the user reads and the
// patterns it stands for, separated by ';' ("*.smc;*.swc").
struct FileTypeFilter {
    QString caption;
    QString patterns;
};

class FileDialog {
  public:
    virtual ~FileDialog() = default;
    // Asks for an existing file, offering the file types of filters; the entry at
    // selectedFilter is preselected. Nothing when the user cancels.
    virtual std::optional<QString> openFile(QWidget* parent,
                                            const std::vector<FileTypeFilter>& filters,
                                            int selectedFilter) = 0;
    // Asks where to save a new file, offering the file types of filters the same way; an
    // existing file chosen is confirmed by the user first. Nothing when the user cancels.
    virtual std::optional<QString> saveFile(QWidget* parent,
                                            const std::vector<FileTypeFilter>& filters,
                                            int selectedFilter) = 0;
};

class MessageBoxes {
  public:
    enum class Icon { Question, Exclamation, Information, Critical };
    virtual ~MessageBoxes() = default;
    // A box with one OK button. details, when given, is shown below the text (for instance
    // the operating system's reason for a failure).
    virtual void show(QWidget* parent, Icon icon, const QString& title, const QString& text,
                      const QString& details = {}) = 0;
    // A question with Yes and No, Yes being the default. True for Yes.
    virtual bool askYesNo(QWidget* parent, const QString& title, const QString& text) = 0;
    // A question about unapplied changes with Apply, Discard and Cancel, Apply being the default.
    enum class Choice { Apply, Discard, Cancel };
    virtual Choice askApplyDiscardCancel(QWidget* parent, const QString& title,
                                         const QString& text) = 0;
};

class Clipboard {
  public:
    virtual ~Clipboard() = default;
    // Empties the clipboard and puts the plain text on it.
    virtual void setText(const QString& text) = 0;
    // The plain text on the clipboard; empty when there is none.
    virtual QString plainText() = 0;
};

// The per-user settings: text values by key; a missing key reads as the empty string.
class Settings {
  public:
    virtual ~Settings() = default;
    virtual QString value(const QString& key) = 0;
    virtual void setValue(const QString& key, const QString& value) = 0;
};

class UrlOpener {
  public:
    virtual ~UrlOpener() = default;
    // Opens the address with the system's handler; the outcome is not reported.
    virtual void open(const QUrl& url) = 0;
};

struct Platform {
    FileDialog& files;
    MessageBoxes& messages;
    Clipboard& clipboard;
    Settings& settings;
    UrlOpener& urls;
};

// The keys of the settings store.
namespace settings_keys {
inline const QString kLastFile = QStringLiteral("Last File");
inline const QString kFirstRunMarker = QStringLiteral("Do ya love me?");
inline const QString kApplicationPath = QStringLiteral("Application Path");
inline const QString kVisualDataExpanded = QStringLiteral("Visual Data Expanded");
inline const QString kLastVersionUsed = QStringLiteral("Last Version Used");
inline const QString kDateOfInstallation = QStringLiteral("Date of Installation");
inline const QString kShowExpandedData = QStringLiteral("Show Expanded Data");
// "1": the checksum is fixed as part of every change the windows write.
inline const QString kFixChecksum = QStringLiteral("Fix Checksum");
// The league windows' sizes ("900x600") and column widths ("40,120,60").
inline const QString kPlayersTableSize = QStringLiteral("Players Table Size");
inline const QString kPlayersTableColumns = QStringLiteral("Players Table Columns");
inline const QString kRostersTableSize = QStringLiteral("Rosters Table Size");
inline const QString kRostersTableColumns = QStringLiteral("Rosters Table Columns");
}  // namespace settings_keys

}  // namespace slamwise
