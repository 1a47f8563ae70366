#pragma once

#include <QByteArray>

// Writes `bytes` to the file at `path`, replacing it, so that what the
// simulated adapter took in can be compared with what was sent; false when
// the file cannot be written.
bool keepFile(const QByteArray& path, const QByteArray& bytes);
