#include "platform/UserSettings.h"

namespace slamwise {

namespace {

QString flag(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

}  // namespace

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
