#pragma once

// What the program uses of the FTDI D2XX library beyond the port operations:
// the library's file names, its device-list record and its status texts.

#include "CommTypes.h"

#include "platform/Library.h"

#include <QByteArray>

#include <array>
#include <cstddef>
#include <memory>

namespace serdev {

using FtStatus = std::uint32_t;
inline constexpr FtStatus kFtOk = 0;

// The library's file name is a prefix followed by "d2xx.so"; tried in this order.
inline constexpr std::array<const char*, 2> D2xxPrefixes = {"dv", "ft"};

// The first of the library's files that loads, or null when none does.
std::unique_ptr<platform::Library> loadD2xxLibrary();

struct FtDeviceListInfoNode {
    std::uint32_t Flags;
    std::uint32_t Type;
    std::uint32_t ID;
    Dword LocId;
    char SerialNumber[16];
    char Description[64];
    void* ftHandle;
};
static_assert(offsetof(FtDeviceListInfoNode, SerialNumber) == 16);
static_assert(offsetof(FtDeviceListInfoNode, Description) == 32);
static_assert(sizeof(void*) != 8 || sizeof(FtDeviceListInfoNode) == 104);

using FtCreateDeviceInfoList = FtStatus (*)(Dword* count);
using FtGetDeviceInfoList = FtStatus (*)(FtDeviceListInfoNode* nodes, Dword* count);

// A zero-terminated text of a fixed-size field, which need not hold its terminator.
template <std::size_t N> QByteArray fixedFieldText(const char (&field)[N])
{
    std::size_t length = 0;
    while (length < N && field[length] != '\0')
        ++length;
    return QByteArray(field, static_cast<qsizetype>(length));
}

// The text of a D2XX status code.
QByteArray ftStatusText(Dword code);

} // namespace serdev
