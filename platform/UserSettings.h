#pragma once

#include <QList>
#include <QSize>
#include <QString>

#include "platform/Platform.h"

namespace slamwise {

// Every setting the windows read or write, over the settings store (keys in settings_keys).
// The windows ask this type and never name a key themselves.
class UserSettings {
  public:
    explicit UserSettings(Settings& store) : store_(store) {}

    // The image opened last ("Last File"); empty when none is remembered.
    QString lastFile() const;
    void setLastFile(const QString& path);
    void forgetLastFile() { setLastFile(QString()); }

    // "Visual Data Expanded": whether the open image's visual table was relocated.
    void setVisualDataExpanded(bool relocated);
    // "Show Expanded Data": the roster window's never-shown expanded-roster box.
    void setShowExpandedData(bool shown);

    // The league windows' sizes and column widths; an invalid size or no widths when none are
    // remembered.
    enum class TableWindow { Players, Rosters };
    QSize tableWindowSize(TableWindow window) const;
    void setTableWindowSize(TableWindow window, QSize size);
    QList<int> tableColumnWidths(TableWindow window) const;
    void setTableColumnWidths(TableWindow window, const QList<int>& widths);

    // The first-run keys: written once, when the program ends for the first time.
    bool firstRunRecorded() const;
    void recordFirstRun(const QString& programFolder, bool visualDataExpanded,
                        const QString& version, const QString& installedAt);

  private:
    Settings& store_;
};

}  // namespace slamwise
