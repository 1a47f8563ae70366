#pragma once

#include <QString>

namespace adapter {

// What the reply log and the test log show at most. Text layout grows with
// the length of a line and of the whole text, so one endless line, or output
// that never ends, would hold the window; past these bounds a log shows a
// mark instead, and keeps nothing more.
inline constexpr qsizetype kLogLineLimit = 1024;       // bytes of one line
inline constexpr qsizetype kLogByteLimit = 512 * 1024; // bytes of the whole log

// Shown where the rest of a line was cut, and where the rest of the log was.
inline const QString kLineCutMark = QStringLiteral(" \u2026 [the rest of this line is cut]");
inline const QString kLogCutMark = QStringLiteral("\u2026 [the rest is cut: a log keeps up to 512 KiB]");

} // namespace adapter
