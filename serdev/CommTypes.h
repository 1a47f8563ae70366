#pragma once

// The data of the eleven port operations, laid out as the FTDI D2XX library
// lays them out, so that one table of operations serves both kinds of port.

#include <cstdint>

namespace serdev {

using PortHandle = void*;
using Dword = std::uint32_t;
using Bool = int;

inline PortHandle invalidHandle() { return reinterpret_cast<PortHandle>(~std::uintptr_t{0}); }

// The line state of a port.
struct DCB {
    Dword DCBlength = 0;
    Dword BaudRate = 0;
    Dword fBinary : 1 = 0;
    Dword fParity : 1 = 0;
    Dword fOutxCtsFlow : 1 = 0;
    Dword fOutxDsrFlow : 1 = 0;
    Dword fDtrControl : 2 = 0;
    Dword fDsrSensitivity : 1 = 0;
    Dword fTXContinueOnXoff : 1 = 0;
    Dword fOutX : 1 = 0;
    Dword fInX : 1 = 0;
    Dword fErrorChar : 1 = 0;
    Dword fNull : 1 = 0;
    Dword fRtsControl : 2 = 0;
    Dword fAbortOnError : 1 = 0;
    Dword fDummy2 : 17 = 0;
    std::uint16_t wReserved = 0;
    std::uint16_t XonLim = 0;
    std::uint16_t XoffLim = 0;
    std::uint8_t ByteSize = 0;
    std::uint8_t Parity = 0;
    std::uint8_t StopBits = 0;
    char XonChar = 0;
    char XoffChar = 0;
    char ErrorChar = 0;
    char EofChar = 0;
    char EvtChar = 0;
    std::uint16_t wReserved1 = 0;
};
static_assert(sizeof(DCB) == 28, "the library's DCB is 28 bytes");

struct COMSTAT {
    Dword flags = 0; // fCtsHold ... fTxim, unused here
    Dword cbInQue = 0;
    Dword cbOutQue = 0;
};
static_assert(sizeof(COMSTAT) == 12);

inline constexpr Dword kGenericReadWrite = 0xC0000000;
inline constexpr Dword kOpenExisting = 3;
inline constexpr Dword kFileAttributeNormal = 0x80;
inline constexpr Dword kFileFlagNoBuffering = 0x20000000;
inline constexpr Dword kFtOpenBySerialNumber = 1;

inline constexpr Dword kSetRts = 3;
inline constexpr Dword kClrRts = 4;
inline constexpr Dword kSetDtr = 5;
inline constexpr Dword kClrDtr = 6;

inline constexpr Dword kPurgeTxClear = 0x0004;
inline constexpr Dword kPurgeRxClear = 0x0008;

inline constexpr std::uint8_t kNoParity = 0;
inline constexpr std::uint8_t kOddParity = 1;
inline constexpr std::uint8_t kEvenParity = 2;
inline constexpr std::uint8_t kMarkParity = 3;
inline constexpr std::uint8_t kSpaceParity = 4;

inline constexpr std::uint8_t kOneStopBit = 0;
inline constexpr std::uint8_t kTwoStopBits = 2;

inline constexpr Dword kLineControlDisable = 0;
inline constexpr Dword kLineControlEnable = 1;
inline constexpr Dword kLineControlHandshake = 2;

} // namespace serdev
