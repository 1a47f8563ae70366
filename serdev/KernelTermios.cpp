#include "KernelTermios.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <utility>

namespace serdev {

namespace {

// Rates with a constant of their own are set by it, for drivers that know no BOTHER.
constexpr std::array<std::pair<std::uint32_t, unsigned>, 19> kStandardRates = {{
    {300, B300},         {600, B600},         {1200, B1200},     {2400, B2400},
    {4800, B4800},       {9600, B9600},       {19200, B19200},   {38400, B38400},
    {57600, B57600},     {115200, B115200},   {230400, B230400}, {460800, B460800},
    {500000, B500000},   {576000, B576000},   {921600, B921600}, {1000000, B1000000},
    {1500000, B1500000}, {2000000, B2000000}, {3000000, B3000000},
}};

unsigned rateCode(std::uint32_t baud)
{
    for (const auto& [rate, code] : kStandardRates)
        if (rate == baud)
            return code;
    return BOTHER;
}

static_assert(std::tuple_size_v<decltype(KernelLine::cc)> == NCCS);

} // namespace

bool readKernelLine(int fd, KernelLine& line)
{
    termios2 kernel{};
    if (ioctl(fd, TCGETS2, &kernel) != 0)
        return false;
    line.iflag = kernel.c_iflag;
    line.oflag = kernel.c_oflag;
    line.cflag = kernel.c_cflag & ~(CBAUD | (CBAUD << IBSHIFT));
    line.lflag = kernel.c_lflag;
    std::copy(std::begin(kernel.c_cc), std::end(kernel.c_cc), line.cc.begin());
    line.baud = kernel.c_ospeed;
    return true;
}

bool writeKernelLine(int fd, const KernelLine& line)
{
    termios2 kernel{};
    if (ioctl(fd, TCGETS2, &kernel) != 0)
        return false;
    kernel.c_iflag = line.iflag;
    kernel.c_oflag = line.oflag;
    kernel.c_cflag = (line.cflag & ~(CBAUD | (CBAUD << IBSHIFT))) | rateCode(line.baud);
    kernel.c_lflag = line.lflag;
    std::copy(line.cc.begin(), line.cc.end(), std::begin(kernel.c_cc));
    kernel.c_ispeed = line.baud;
    kernel.c_ospeed = line.baud;
    return ioctl(fd, TCSETS2, &kernel) == 0;
}

} // namespace serdev
