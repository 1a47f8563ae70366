#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace app {

// The five operations on the program's settings key. Each opens the key,
// does its one thing and releases it, so every read sees the file as it is.
// A value of the other kind, or a write that fails, raises
// platform::SettingsError.

// When the value is missing, writes `defaultValue` first; then reads it.
std::int32_t ReadIntSetting(const QString& name, std::int32_t defaultValue);
void WriteIntSetting(const QString& name, std::int32_t value);
// Whether a value of that name exists, of either kind.
bool SettingExists(const QString& name);
QByteArray ReadStringSetting(const QString& name, const QByteArray& defaultValue);
void WriteStringSetting(const QString& name, const QByteArray& value);

// A value read for something the program must go on without, such as the
// remembered port: `value` is always usable, and `trouble` says, in words
// for the user, what went wrong with the settings file, if anything did.
struct SettingRead {
    QByteArray value;
    QString trouble;
};

// As ReadStringSetting, but never fails. A stored value of the other kind is
// taken as absent: the file is first copied aside, so nothing is lost, and
// the default replaces the value. A file that cannot be read or written
// gives the default, and the value is not stored.
SettingRead ReadStringSettingOrDefault(const QString& name, const QByteArray& defaultValue);
// Says which settings file cannot be used, why, and what to do about it.
QString settingsFileTrouble(const QString& reason);
// The same, for the failed write of one value, which is then not remembered.
QString settingsWriteTrouble(const QString& name, const QString& reason);

// The file that holds the key's values: velmora-configurator/settings.json
// in the user's configuration folder.
QString settingsFile();
// Where versions before it kept them: a folder for each part of the key path.
QString legacySettingsFile();
// Moves the settings from where earlier versions kept them, once, and says
// so when that fails; the old file is then left as it was.
void MoveLegacySettings();

} // namespace app
