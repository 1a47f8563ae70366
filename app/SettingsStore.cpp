#include "SettingsStore.h"

#include "UnitMainData.h"
#include "platform/MessageBox.h"
#include "platform/SettingsKey.h"
#include "platform/SettingsMove.h"

namespace app {

namespace {

void reportUnreadableFile(const QString& path, const QString& keptAs)
{
    AppMessageBox(nullptr, QStringLiteral("Error..."),
                  QStringLiteral("The settings file %1 could not be read.\n"
                                 "It has been kept as %2, and the settings start afresh.")
                      .arg(path, keptAs),
                  platform::kBoxIconError);
}

// Opened afresh for every operation, so nothing is cached between them.
platform::SettingsKey openKey()
{
    return platform::SettingsKey(settingsFile(), reportUnreadableFile);
}

} // namespace

QString settingsFile()
{
    return platform::userConfigHome() + QStringLiteral("/velmora-configurator/settings.json");
}

QString legacySettingsFile()
{
    return platform::settingsFilePath(platform::userConfigHome(), SettingsKeyPath);
}

void MoveLegacySettings()
{
    const QString from = legacySettingsFile();
    const platform::SettingsMove move = platform::moveSettingsFile(from, settingsFile(), platform::userConfigHome());
    if (move.result != platform::SettingsMove::Result::Failed)
        return;
    AppMessageBox(nullptr, QStringLiteral("Error..."),
                  QStringLiteral("The settings file %1 could not be moved to %2: %3.\n"
                                 "It is left where it is, and the settings start afresh.")
                      .arg(from, settingsFile(), move.error),
                  platform::kBoxIconError);
}

std::int32_t ReadIntSetting(const QString& name, std::int32_t defaultValue)
{
    platform::SettingsKey key = openKey();
    if (!key.valueExists(name))
        key.writeInteger(name, defaultValue);
    return key.readInteger(name);
}

void WriteIntSetting(const QString& name, std::int32_t value)
{
    platform::SettingsKey key = openKey();
    key.writeInteger(name, value);
}

bool SettingExists(const QString& name)
{
    platform::SettingsKey key = openKey();
    return key.valueExists(name);
}

QByteArray ReadStringSetting(const QString& name, const QByteArray& defaultValue)
{
    platform::SettingsKey key = openKey();
    if (!key.valueExists(name))
        key.writeString(name, defaultValue);
    return key.readString(name);
}

SettingRead ReadStringSettingOrDefault(const QString& name, const QByteArray& defaultValue)
{
    platform::SettingsKey key = openKey();
    if (!key.problem().isEmpty())
        return {defaultValue, settingsWriteTrouble(name, key.problem())};
    QString trouble;
    if (key.valueExists(name)) {
        try {
            return {key.readString(name), {}};
        } catch (const platform::SettingsError&) {
            const QString keptAs = key.keepCopyAside();
            trouble = QStringLiteral("The settings file %1 holds %2 as \"%3\", which is not a text.\n")
                          .arg(settingsFile(), key.spelling(name), name);
            trouble += keptAs.isEmpty()
                           ? QStringLiteral("\"%1\" starts afresh; the rest of the file stays as it is.").arg(name)
                           : QStringLiteral("The file has been kept as %1, and \"%2\" starts afresh.")
                                 .arg(keptAs, name);
            key.forget(name);
        }
    }
    try {
        key.writeString(name, defaultValue);
    } catch (const platform::SettingsError& error) {
        return {defaultValue, settingsWriteTrouble(name, error.reason())};
    }
    return {defaultValue, trouble};
}

QString settingsFileTrouble(const QString& reason)
{
    return QStringLiteral("The settings file %1 cannot be read or written: %2.\n"
                          "Make the file and its folder yours and writable (chmod u+rw), or remove the file.")
        .arg(settingsFile(), reason);
}

QString settingsWriteTrouble(const QString& name, const QString& reason)
{
    return settingsFileTrouble(reason) + QStringLiteral("\n\"%1\" is not remembered until then.").arg(name);
}

void WriteStringSetting(const QString& name, const QByteArray& value)
{
    platform::SettingsKey key = openKey();
    key.writeString(name, value);
}

} // namespace app
