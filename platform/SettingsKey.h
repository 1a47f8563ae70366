#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QLockFile>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>

namespace platform {

// A settings read or write that failed: a value of the other kind, or a file
// that could not be written.
class SettingsError : public std::runtime_error {
public:
    explicit SettingsError(const std::string& what, QString reason = {})
        : std::runtime_error(what)
        , reason_(std::move(reason))
    {
    }
    // The system's words for why the file could not be written; empty for a value of the other kind.
    const QString& reason() const { return reason_; }

private:
    QString reason_;
};

// Told when a settings file could not be read as one: where it was and the
// name it is now kept under.
using SettingsRecoveryReporter = std::function<void(const QString& path, const QString& keptAs)>;

// One per-user key of typed values, open for the length of one operation.
// The values live in a JSON file: integers as numbers, texts as strings.
// Opening takes a lock file, so that two instances of the program take turns,
// and loads the file; every write replaces the whole file atomically. A file
// that is not a JSON object is moved aside, reported once, and the key starts
// empty, so nothing the user had is lost and the program can go on.
class SettingsKey {
public:
    explicit SettingsKey(const QString& filePath, const SettingsRecoveryReporter& reportRecovery = {});
    ~SettingsKey();
    SettingsKey(const SettingsKey&) = delete;
    SettingsKey& operator=(const SettingsKey&) = delete;

    // False also when the key's folder cannot be created: then writes fail.
    bool valueExists(const QString& name) const;
    // Why the file cannot be used, in the system's words; empty when it can.
    const QString& problem() const { return problem_; }
    // The stored value as the file spells it, for telling the user about it.
    QString spelling(const QString& name) const;
    // Copies the file aside under a name of its own, as an unreadable one is
    // kept; returns that name, or nothing when the copy failed.
    QString keepCopyAside() const;
    // Forgets a value; the next write leaves it out of the file.
    void forget(const QString& name);
    std::int32_t readInteger(const QString& name) const;
    QByteArray readString(const QString& name) const;
    void writeInteger(const QString& name, std::int32_t value);
    void writeString(const QString& name, const QByteArray& value);

private:
    void load(const SettingsRecoveryReporter& reportRecovery);
    void save(const QString& name);

    QString path_;
    std::unique_ptr<QLockFile> lock_;
    QJsonObject values_;
    bool usable_ = false;
    QString problem_;
};

// Where a key path such as "SOFTWARE\\Maker" keeps its values below the
// per-user configuration folder: one folder per part of the path, and in the
// last one "settings.json". Parts that would climb out of the folder are dropped.
QString settingsFilePath(const QString& configHome, const QByteArray& keyPath);

// $XDG_CONFIG_HOME, or ~/.config when it is unset or not absolute.
QString userConfigHome();

} // namespace platform
