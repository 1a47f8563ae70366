#include "D2xxApi.h"

namespace serdev {

namespace {
constexpr std::array<const char*, 19> FtStatusText = {
    "Success operation",
    "Invalid handle",
    "Device is not found",
    "Device is not opened",
    "IO Error",
    "Insuffient resurces",
    "Invalid parameter",
    "Invalid baud rate",
    "Device is not opened for ERASE",
    "Device is not opened for WRITE",
    "FAILED_TO_WRITE_DEVICE",
    "EEPROM_READ_FAILED",
    "EEPROM_WRITE_FAILED",
    "EEPROM_ERASE_FAILED",
    "EEPROM_NOT_PRESENT",
    "EEPROM_NOT_PROGRAMMED",
    "INVALID_ARGS",
    "NOT_SUPPORTED",
    "OTHER_ERROR",
};
} // namespace

QByteArray ftStatusText(Dword code)
{
    if (code < FtStatusText.size())
        return FtStatusText[code];
    return "Unknown status";
}

} // namespace serdev
