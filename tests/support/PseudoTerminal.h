#pragma once

#include <QByteArray>

// A pseudo-terminal pair: the device under test opens the slave by its path,
// the test plays the far end of the line on the master. The slave starts at
// the kernel's defaults for a new terminal, as a freshly plugged port does.
class PseudoTerminal {
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    QByteArray path() const { return path_; }
    int master() const { return master_; }

    // Sends from the far end and waits until the bytes reach the device's input
    // queue; the device must have made its line raw by then.
    void send(const QByteArray& bytes);
    // The next `count` bytes that arrive at the far end (fewer if none comes for `quietMs`).
    QByteArray receive(qsizetype count, int quietMs = 2000);
    void closeMaster();

private:
    int master_ = -1;
    int slaveKeeper_ = -1; // keeps the line up between opens of the device
    QByteArray path_;
};
