#include "PseudoTerminal.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <stdexcept>
#include <unistd.h>

PseudoTerminal::PseudoTerminal()
{
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0)
        throw std::runtime_error("no pseudo-terminal");
    path_ = ptsname(master_);
    // The device's side stays at the kernel's defaults for a new terminal (echo,
    // canonical input, XON/XOFF), as a freshly plugged port is: only the device
    // under test may change it. The master has no line settings of its own.
    slaveKeeper_ = ::open(path_.constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
}

PseudoTerminal::~PseudoTerminal()
{
    closeMaster();
    if (slaveKeeper_ >= 0)
        ::close(slaveKeeper_);
}

void PseudoTerminal::send(const QByteArray& bytes)
{
    int before = 0;
    ::ioctl(slaveKeeper_, FIONREAD, &before);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(master_, bytes.constData() + done, bytes.size() - done);
        if (put < 0)
            throw std::runtime_error("pseudo-terminal write failed");
        done += put;
    }
    // The line discipline passes bytes on asynchronously: wait until they
    // are all in the device's input queue (bounded, in case they never come).
    for (int tries = 0; tries < 2000; ++tries) {
        int waiting = 0;
        ::ioctl(slaveKeeper_, FIONREAD, &waiting);
        if (waiting >= before + bytes.size())
            return;
        ::usleep(1000);
    }
    throw std::runtime_error("bytes sent on the pseudo-terminal never arrived");
}

QByteArray PseudoTerminal::receive(qsizetype count, int quietMs)
{
    QByteArray all;
    char buffer[4096];
    while (all.size() < count) {
        pollfd ready{master_, POLLIN, 0};
        if (::poll(&ready, 1, quietMs) <= 0)
            break;
        const ssize_t got = ::read(master_, buffer, std::min<qsizetype>(sizeof buffer, count - all.size()));
        if (got <= 0)
            break;
        all.append(buffer, got);
    }
    return all;
}

void PseudoTerminal::closeMaster()
{
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}
