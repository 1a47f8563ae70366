#pragma once

#include <QString>

namespace platform {

struct SettingsMove {
    enum class Result { NothingToMove, Moved, Failed };
    Result result = Result::NothingToMove;
    QString error; // the system's text, when it failed
};

// Moves the settings file at `from` to `to`, once: there is nothing to move
// when `from` does not exist, nor when `to` does (the newer file holds, and
// the older one is left as it is). A failed move leaves `from` where it was.
// Once moved, the folders that held only it (and its lock file) below
// `keepFolder` are removed.
SettingsMove moveSettingsFile(const QString& from, const QString& to, const QString& keepFolder);

} // namespace platform
