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
};

// Reads a plain file whole, for reading only and shared with no other opener:
// while it is read the file is locked exclusively, so a file that another
// program holds locked is reported unreadable rather than read half-written.
// A file longer than `maxBytes` is not read into memory.
WholeFile readWholeFile(const QString& path, qsizetype maxBytes);

} // namespace platform
