#include "platform/UserSettings.h"

namespace slamwise {

namespace {

QString flag(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

const QString& sizeKey(UserSettings::TableWindow window) {
    return window == UserSettings::TableWindow::Players ? settings_keys::kPlayersTableSize
                                                        : settings_keys::kRostersTableSize;
}

const QString& columnsKey(UserSettings::TableWindow window) {
    return window == UserSettings::TableWindow::Players ? settings_keys::kPlayersTableColumns
                                                        : settings_keys::kRostersTableColumns;
}

}  // namespace

QSize UserSettings::tableWindowSize(TableWindow window) const {
    const QStringList parts = store_.value(sizeKey(window)).split(QLatin1Char('x'));
    bool wide = false;
    bool high = false;
    const QSize size(parts.value(0).toInt(&wide), parts.value(1).toInt(&high));
    return parts.size() == 2 && wide && high && size.width() > 0 && size.height() > 0 ? size
                                                                                      : QSize();
}

void UserSettings::setTableWindowSize(TableWindow window, QSize size) {
    store_.setValue(sizeKey(window), QStringLiteral("%1x%2").arg(size.width()).arg(size.height()));
}

QList<int> UserSettings::tableColumnWidths(TableWindow window) const {
    QList<int> widths;
    for (const QString& part : store_.value(columnsKey(window)).split(QLatin1Char(','))) {
        bool number = false;
        const int width = part.toInt(&number);
        if (!number || width <= 0) {
            return {};
        }
        widths << width;
    }
    return widths;
}

void UserSettings::setTableColumnWidths(TableWindow window, const QList<int>& widths) {
    QStringList parts;
    for (int width : widths) {
        parts << QString::number(width);
    }
    store_.setValue(columnsKey(window), parts.join(QLatin1Char(',')));
}

QString UserSettings::lastFile() const {
    return store_.value(settings_keys::kLastFile);
}

void UserSettings::setLastFile(const QString& path) {
    store_.setValue(settings_keys::kLastFile, path);
}

void UserSettings::setVisualDataExpanded(bool relocated) {
    store_.setValue(settings_keys::kVisualDataExpanded, flag(relocated));
}

void UserSettings::setShowExpandedData(bool shown) {
    store_.setValue(settings_keys::kShowExpandedData, flag(shown));
}

bool UserSettings::firstRunRecorded() const {
    return !store_.value(settings_keys::kFirstRunMarker).isEmpty();
}

void UserSettings::recordFirstRun(const QString& programFolder, bool visualDataExpanded,
                                  const QString& version, const QString& installedAt) {
    store_.setValue(settings_keys::kApplicationPath, programFolder);
    setVisualDataExpanded(visualDataExpanded);
    store_.setValue(settings_keys::kLastVersionUsed, version);
    store_.setValue(settings_keys::kFirstRunMarker, QStringLiteral("Of course!"));
    store_.setValue(settings_keys::kDateOfInstallation, installedAt);
}

}  // namespace slamwise
