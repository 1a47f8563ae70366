#pragma once

#include <QByteArray>

namespace app {

// The mode list's text order: byte by byte, with only the ASCII letters a to z
// folded to upper case; a text goes before every longer text it begins. So
// "abc" goes before "ABD", "Mode" equals "MODE", and "100" goes before "11".
// Negative when `a` goes first, positive when `b` does, 0 when equal.
int compareSortTexts(const QByteArray& a, const QByteArray& b);

} // namespace app
