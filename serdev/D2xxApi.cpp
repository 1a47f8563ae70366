#include "D2xxApi.h"

#include <string>

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

std::unique_ptr<platform::Library> loadD2xxLibrary()
{
    for (const char* prefix : D2xxPrefixes)
        if (auto library = platform::Library::load(std::string("lib") + prefix + "d2xx.so"))
            return library;
    return nullptr;
}

QByteArray ftStatusText(Dword code)
{
    if (code < FtStatusText.size())
        return FtStatusText[code];
    return "Unknown status";
}

} // namespace serdev
