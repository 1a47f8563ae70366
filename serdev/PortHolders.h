#pragma once

// Who else has a serial device node open. A program that opens a port
// without a lock (a terminal, a script) takes the adapter's replies away
// from an exchange; it is found through the open files that /proc shows.

#include <QByteArray>

#include <optional>
#include <sys/types.h>

namespace serdev {

struct PortHolder {
    pid_t pid = 0;
    QByteArray program; // the process's command name
};

// The first process other than this one that holds the device node at
// `path` open, among those whose open files this user may see: another
// user's processes stay hidden unless the system shows them. The process
// that holds a pseudo-terminal's master is the far end of the line (the
// device itself, as with a simulated adapter), not another program on it.
std::optional<PortHolder> otherPortHolder(const QByteArray& path);

} // namespace serdev
