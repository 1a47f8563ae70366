#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

enum class FileRead {
    Read,       // the contents are in `data`
    Unreadable, // missing, not a plain file, held by another program, or failed to read
    TooLarge,   // longer than the caller accepts; nothing was kept
};

struct WholeFile {
    FileRead result = FileRead::Unreadable;
    QByteArray data;
    // Why a file that is there could not be read, in the system's words
    // ("Permission denied"); empty when it is missing, not a plain file, or
    // held by another program.
    QString systemText;
};

// Reads a plain file whole, for reading only and shared with no other opener:
// while it is read the file is locked exclusively, so a file that another
// program holds locked is reported unreadable rather than read half-written.
// Where the file system cannot lock a file opened for reading (NFS answers
// ENOLCK or EBADF), the file is read without the lock.
// A file longer than `maxBytes` is not read into memory.
WholeFile readWholeFile(const QString& path, qsizetype maxBytes);

// `message`, followed on a line of its own by the system's words when there are any.
QString withSystemText(const QString& message, const QString& systemText);

// The call that takes the lock, as flock(2). Tests stand in for file systems
// that refuse it; none restores flock.
using FileLockCall = int (*)(int fd, int operation);
void setFileLockCall(FileLockCall call);

} // namespace platform
