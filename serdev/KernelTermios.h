#pragma once

// The line state of a terminal as the kernel keeps it, read and written in one
// call through termios2, which takes any baud rate (BOTHER). The kernel
// headers that declare it clash with the C library's <termios.h>, so this is
// the only file that includes them. The flag bits are the same in both.

#include <array>
#include <cstdint>

namespace serdev {

struct KernelLine {
    std::uint32_t iflag = 0;
    std::uint32_t oflag = 0;
    std::uint32_t cflag = 0;
    std::uint32_t lflag = 0;
    std::array<std::uint8_t, 19> cc{};
    std::uint32_t baud = 0;
};

bool readKernelLine(int fd, KernelLine& line);
// Applies flags and rate together. The driver may drop what it cannot do
// (a pseudo-terminal keeps no parity and no data-bit count); that is no failure.
bool writeKernelLine(int fd, const KernelLine& line);

} // namespace serdev
