#include "ComLineState.h"

#include <termios.h>

namespace serdev {

namespace {

std::uint32_t characterSize(std::uint8_t bits)
{
    switch (bits) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    default: return CS8;
    }
}

std::uint8_t bitsOf(std::uint32_t cflag)
{
    switch (cflag & CSIZE) {
    case CS5: return 5;
    case CS6: return 6;
    case CS7: return 7;
    default: return 8;
    }
}

std::uint8_t parityOf(std::uint32_t cflag)
{
    if (!(cflag & PARENB))
        return kNoParity;
    if (cflag & CMSPAR)
        return (cflag & PARODD) ? kMarkParity : kSpaceParity;
    return (cflag & PARODD) ? kOddParity : kEvenParity;
}

std::uint32_t parityFlags(std::uint8_t parity)
{
    switch (parity) {
    case kOddParity: return PARENB | PARODD;
    case kEvenParity: return PARENB;
    case kMarkParity: return PARENB | CMSPAR | PARODD;
    case kSpaceParity: return PARENB | CMSPAR;
    default: return 0;
    }
}

} // namespace

void makeRaw(KernelLine& line)
{
    // IXON is what a new terminal starts with: left on, it would swallow
    // every 0x11 and 0x13 that arrives, and those are ordinary data here.
    line.iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IUCLC | INPCK | IXON | IXOFF | IXANY);
    line.oflag &= ~OPOST;
    line.lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    line.cflag &= ~CRTSCTS;
    line.cflag |= CLOCAL | CREAD;
    line.cc[VMIN] = 0;
    line.cc[VTIME] = 0;
}

bool applyDcb(const DCB& dcb, KernelLine& line)
{
    if (dcb.ByteSize < 5 || dcb.ByteSize > 8 || dcb.Parity > kSpaceParity)
        return false;
    makeRaw(line);
    line.baud = dcb.BaudRate;
    line.cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    line.cflag |= characterSize(dcb.ByteSize) | parityFlags(dcb.Parity);
    if (dcb.StopBits != kOneStopBit)
        line.cflag |= CSTOPB; // no 1.5 stop bits here: two is the nearest
    if (dcb.fOutxCtsFlow)
        line.cflag |= CRTSCTS;
    line.iflag &= ~(IXON | IXOFF);
    if (dcb.fOutX)
        line.iflag |= IXON;
    if (dcb.fInX)
        line.iflag |= IXOFF;
    line.cc[VSTART] = static_cast<std::uint8_t>(dcb.XonChar);
    line.cc[VSTOP] = static_cast<std::uint8_t>(dcb.XoffChar);
    return true;
}

void readDcb(const KernelLine& line, bool rtsRaised, bool dtrRaised, DCB& dcb)
{
    dcb.BaudRate = line.baud;
    dcb.fBinary = 1;
    dcb.ByteSize = bitsOf(line.cflag);
    dcb.Parity = parityOf(line.cflag);
    dcb.fParity = (line.cflag & PARENB) ? 1 : 0;
    dcb.StopBits = (line.cflag & CSTOPB) ? kTwoStopBits : kOneStopBit;
    dcb.fOutxCtsFlow = (line.cflag & CRTSCTS) ? 1 : 0;
    dcb.fOutX = (line.iflag & IXON) ? 1 : 0;
    dcb.fInX = (line.iflag & IXOFF) ? 1 : 0;
    dcb.XonChar = static_cast<char>(line.cc[VSTART]);
    dcb.XoffChar = static_cast<char>(line.cc[VSTOP]);
    if (line.cflag & CRTSCTS)
        dcb.fRtsControl = kLineControlHandshake;
    else
        dcb.fRtsControl = rtsRaised ? kLineControlEnable : kLineControlDisable;
    dcb.fDtrControl = dtrRaised ? kLineControlEnable : kLineControlDisable;
}

} // namespace serdev
