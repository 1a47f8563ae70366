#pragma once

#include <QFile>
#include <QString>

#include <fcntl.h>
#include <unistd.h>

// A file that is there but that this process may not read: a file of its own
// without read permission, or, where the tests run as root and permissions do
// not bind, a kernel setting that can only be written. Empty when neither is
// to be had.
inline QString unreadableFile(const QString& folder)
{
    if (::geteuid() != 0) {
        const QString path = folder + "/unreadable.rfw";
        QFile file(path);
        if (file.open(QIODevice::WriteOnly) && file.write(QByteArray(1000, 'x')) == 1000) {
            file.close();
            QFile::setPermissions(path, {});
            return path;
        }
        return {};
    }
    const char* writeOnly = "/proc/sys/vm/compact_memory";
    const int fd = ::open(writeOnly, O_RDONLY);
    if (fd >= 0) {
        ::close(fd);
        return {};
    }
    return errno == EACCES ? QString::fromLatin1(writeOnly) : QString();
}
