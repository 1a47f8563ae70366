#include "SettingsKey.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QSaveFile>

#include <cmath>
#include <limits>

namespace platform {

namespace {

// Another instance holds the key only for the length of one operation.
constexpr int kLockWaitMs = 1000;

[[noreturn]] void failInvalidKind(const QString& name)
{
    throw SettingsError(QStringLiteral("Invalid data type for '%1'").arg(name).toStdString());
}

QString keptAsideName(const QString& path)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString candidate = path + QStringLiteral(".unreadable-") + stamp;
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate = path + QStringLiteral(".unreadable-") + stamp + QLatin1Char('-') + QString::number(n);
    return candidate;
}

} // namespace

SettingsKey::SettingsKey(const QString& filePath, const SettingsRecoveryReporter& reportRecovery)
    : path_(filePath)
{
    load(reportRecovery);
}

SettingsKey::~SettingsKey() = default;

void SettingsKey::load(const SettingsRecoveryReporter& reportRecovery)
{
    const QFileInfo info(path_);
    if (!QDir().mkpath(info.absolutePath())) {
        problem_ = QStringLiteral("its folder %1 cannot be created").arg(info.absolutePath());
        return;
    }
    usable_ = true;

    lock_ = std::make_unique<QLockFile>(path_ + QStringLiteral(".lock"));
    // If the lock cannot be had (a hung instance), go on without it: the
    // atomic replace still keeps the file whole.
    lock_->tryLock(kLockWaitMs);

    QFile file(path_);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly)) {
        usable_ = false; // a file we may not read is not ours to replace
        problem_ = file.errorString();
        return;
    }
    const QByteArray content = file.readAll();
    file.close();

    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(content, &error);
    if (error.error == QJsonParseError::NoError && document.isObject()) {
        values_ = document.object();
        return;
    }
    const QString keptAs = keptAsideName(path_);
    if (!QFile::rename(path_, keptAs))
        return; // left where it is; the first write replaces it
    if (reportRecovery)
        reportRecovery(path_, keptAs);
}

bool SettingsKey::valueExists(const QString& name) const
{
    return usable_ && values_.contains(name);
}

std::int32_t SettingsKey::readInteger(const QString& name) const
{
    if (!valueExists(name))
        throw SettingsError(QStringLiteral("Failed to get data for '%1'").arg(name).toStdString());
    const QJsonValue value = values_.value(name);
    if (!value.isDouble())
        failInvalidKind(name);
    const double number = value.toDouble();
    if (std::floor(number) != number || number < std::numeric_limits<std::int32_t>::min()
        || number > std::numeric_limits<std::int32_t>::max())
        failInvalidKind(name);
    return static_cast<std::int32_t>(number);
}

QByteArray SettingsKey::readString(const QString& name) const
{
    if (!valueExists(name))
        throw SettingsError(QStringLiteral("Failed to get data for '%1'").arg(name).toStdString());
    const QJsonValue value = values_.value(name);
    if (!value.isString())
        failInvalidKind(name);
    return value.toString().toUtf8();
}

void SettingsKey::writeInteger(const QString& name, std::int32_t value)
{
    values_.insert(name, static_cast<double>(value));
    save(name);
}

void SettingsKey::writeString(const QString& name, const QByteArray& value)
{
    values_.insert(name, QString::fromUtf8(value));
    save(name);
}

void SettingsKey::save(const QString& name)
{
    QSaveFile file(path_);
    const bool saved = usable_ && file.open(QIODevice::WriteOnly)
                       && file.write(QJsonDocument(values_).toJson(QJsonDocument::Indented)) >= 0
                       && file.commit();
    if (!saved)
        throw SettingsError(QStringLiteral("Failed to set data for '%1'").arg(name).toStdString(),
                            usable_ ? file.errorString() : problem_);
}

QString SettingsKey::spelling(const QString& name) const
{
    // Spelled as JSON, inside an array so that any kind of value can be written.
    const QByteArray json = QJsonDocument(QJsonArray{values_.value(name)}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(json.mid(1, json.size() - 2));
}

QString SettingsKey::keepCopyAside() const
{
    const QString keptAs = keptAsideName(path_);
    return QFile::copy(path_, keptAs) ? keptAs : QString();
}

void SettingsKey::forget(const QString& name)
{
    values_.remove(name);
}

QString settingsFilePath(const QString& configHome, const QByteArray& keyPath)
{
    QString path = configHome;
    for (const QByteArray& part : keyPath.split('\\')) {
        const QString folder = QString::fromUtf8(part).replace(QLatin1Char('/'), QLatin1Char('_'));
        if (folder.isEmpty() || folder == QLatin1String(".") || folder == QLatin1String(".."))
            continue;
        path += QLatin1Char('/') + folder;
    }
    return path + QStringLiteral("/settings.json");
}

QString userConfigHome()
{
    const QString configured = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!configured.isEmpty() && QDir::isAbsolutePath(configured))
        return configured;
    return QDir::homePath() + QStringLiteral("/.config");
}

} // namespace platform
