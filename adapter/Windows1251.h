#pragma once

#include <QByteArray>
#include <QString>

namespace adapter {

// The adapter writes its texts in Windows-1251, the Cyrillic code page of the
// boxes that show them. Bytes below 0x80 are ASCII; the one byte the code
// page leaves undefined (0x98) shows as the replacement character.
QString fromWindows1251(const QByteArray& bytes);

} // namespace adapter
