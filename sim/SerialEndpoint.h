#pragma once

#include "AdapterProfile.h"

#include <QByteArray>

#include <optional>

namespace sim {

// The adapter's end of a serial line: the master of a new pseudo-terminal
// (the configurator opens its slave by path), or a real serial device.
class SerialEndpoint {
public:
    // A new pseudo-terminal; nothing when the system has none to give.
    static std::optional<SerialEndpoint> openPseudoTerminal(QByteArray& error);
    // A serial device, set raw at the adapter's own line setting.
    static std::optional<SerialEndpoint> openDevice(const QByteArray& path, const LineSetting& line,
                                                    QByteArray& error);

    SerialEndpoint(SerialEndpoint&& other) noexcept;
    SerialEndpoint& operator=(SerialEndpoint&&) = delete;
    ~SerialEndpoint();

    int fd() const { return fd_; }
    // What the configurator opens: the slave's path, or the device's.
    const QByteArray& path() const { return path_; }

    // The setting the line runs at now. On a pseudo-terminal it is what the
    // configurator last applied to the slave; a real device runs at ours.
    LineSetting currentLine() const;

private:
    SerialEndpoint(int fd, int slaveKeeper, QByteArray path, std::optional<LineSetting> fixedLine);

    int fd_ = -1;
    int slaveKeeper_ = -1; // keeps the slave's settings alive between the configurator's opens
    QByteArray path_;
    std::optional<LineSetting> fixedLine_;
};

} // namespace sim
