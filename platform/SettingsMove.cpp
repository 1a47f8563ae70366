#include "SettingsMove.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace platform {

SettingsMove moveSettingsFile(const QString& from, const QString& to, const QString& keepFolder)
{
    if (!QFileInfo(from).isFile() || QFileInfo::exists(to))
        return {};
    const QString toFolder = QFileInfo(to).absolutePath();
    if (!QDir().mkpath(toFolder))
        return {SettingsMove::Result::Failed, QStringLiteral("Cannot create the folder %1").arg(toFolder)};
    QFile file(from);
    // Across file systems Qt copies, then removes the original only once the copy is whole.
    if (!file.rename(to))
        return {SettingsMove::Result::Failed, file.errorString()};

    QFile::remove(from + QStringLiteral(".lock"));
    const QString root = QDir(keepFolder).absolutePath();
    for (QDir folder = QFileInfo(from).absoluteDir();
         folder.absolutePath().startsWith(root + QLatin1Char('/')) && folder.isEmpty();) {
        const QString name = folder.dirName();
        folder.cdUp();
        if (!folder.rmdir(name))
            break;
    }
    return {SettingsMove::Result::Moved, {}};
}

} // namespace platform
