#pragma once

#include <QByteArray>
#include <QJsonObject>

#include <functional>
#include <optional>

namespace app {

// The program's version block as the build embedded it; nothing when the
// program carries none.
std::optional<QByteArray> programVersionBlock();

// Where the window takes its version block from (tests hand in their own).
using VersionBlockSource = std::function<std::optional<QByteArray>()>;

// A version block: string tables keyed by language and code page, as
// "StringFileInfo\\040904E4\\ProductName" addresses them.
class VersionInfo {
public:
    explicit VersionInfo(const QByteArray& block);

    // The text at `path` (parts separated by backslashes), or empty text.
    QByteArray QueryVersionString(const QByteArray& path) const;

private:
    QJsonObject root_;
};

} // namespace app
