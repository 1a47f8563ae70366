#include "SerialEndpoint.h"

#include "serdev/KernelTermios.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

namespace {

QByteArray systemError(const char* what)
{
    return QByteArray(what) + ": " + std::strerror(errno);
}

void makeRaw(serdev::KernelLine& line)
{
    line.iflag = 0;
    line.oflag = 0;
    line.lflag = 0;
    line.cflag = (line.cflag & ~static_cast<std::uint32_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS))
                 | CS8 | CREAD | CLOCAL;
    line.cc[VMIN] = 0;
    line.cc[VTIME] = 0;
}

std::uint32_t dataBitsFlag(int bits)
{
    switch (bits) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    default: return CS8;
    }
}

} // namespace

SerialEndpoint::SerialEndpoint(int fd, int slaveKeeper, QByteArray path, std::optional<LineSetting> fixedLine)
    : fd_(fd)
    , slaveKeeper_(slaveKeeper)
    , path_(std::move(path))
    , fixedLine_(fixedLine)
{
}

SerialEndpoint::SerialEndpoint(SerialEndpoint&& other) noexcept
    : fd_(std::exchange(other.fd_, -1))
    , slaveKeeper_(std::exchange(other.slaveKeeper_, -1))
    , path_(std::move(other.path_))
    , fixedLine_(other.fixedLine_)
{
}

SerialEndpoint::~SerialEndpoint()
{
    if (slaveKeeper_ >= 0)
        ::close(slaveKeeper_);
    if (fd_ >= 0)
        ::close(fd_);
}

std::optional<SerialEndpoint> SerialEndpoint::openPseudoTerminal(QByteArray& error)
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        error = systemError("cannot create a pseudo-terminal");
        if (master >= 0)
            ::close(master);
        return std::nullopt;
    }
    const QByteArray path = ::ptsname(master);
    // The slave is held open so that its line settings last between the
    // configurator's opens, as a serial port's do. It stays at the kernel's
    // defaults for a new terminal, as a freshly plugged port does: only the
    // configurator changes it.
    const int keeper = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (keeper < 0) {
        error = systemError("cannot open the pseudo-terminal's slave");
        ::close(master);
        return std::nullopt;
    }
    return SerialEndpoint(master, keeper, path, std::nullopt);
}

std::optional<SerialEndpoint> SerialEndpoint::openDevice(const QByteArray& path, const LineSetting& setting,
                                                         QByteArray& error)
{
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    serdev::KernelLine line;
    if (fd < 0 || !serdev::readKernelLine(fd, line)) {
        error = systemError("cannot open " + path);
        if (fd >= 0)
            ::close(fd);
        return std::nullopt;
    }
    makeRaw(line);
    line.cflag = (line.cflag & ~static_cast<std::uint32_t>(CSIZE)) | dataBitsFlag(setting.dataBits);
    if (setting.parity != 'N')
        line.cflag |= PARENB | (setting.parity == 'O' || setting.parity == 'M' ? PARODD : 0)
                      | (setting.parity == 'M' || setting.parity == 'S' ? CMSPAR : 0);
    line.baud = setting.baud;
    if (!serdev::writeKernelLine(fd, line)) {
        error = systemError("cannot set the line of " + path);
        ::close(fd);
        return std::nullopt;
    }
    return SerialEndpoint(fd, -1, path, setting);
}

LineSetting SerialEndpoint::currentLine() const
{
    if (fixedLine_)
        return *fixedLine_;
    serdev::KernelLine line;
    if (!serdev::readKernelLine(fd_, line))
        return {};
    char parity = 'N';
    if (line.cflag & PARENB) {
        const bool odd = (line.cflag & PARODD) != 0;
        parity = (line.cflag & CMSPAR) ? (odd ? 'M' : 'S') : (odd ? 'O' : 'E');
    }
    int bits = 8;
    switch (line.cflag & CSIZE) {
    case CS5: bits = 5; break;
    case CS6: bits = 6; break;
    case CS7: bits = 7; break;
    default: break;
    }
    return {line.baud, parity, bits};
}

} // namespace sim
