#pragma once

// The D2XX test library: a stand-in for the FTDI library, built as
// "libdvd2xx.so", that presents scriptable FTDI devices. The program binds it
// through its real loading path; tests script it through these calls.

#include "serdev/CommTypes.h"
#include "sim/AdapterProfile.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace simd2xx {

// The library calls that can be made to fail or counted.
enum class Call {
    CreateFile, CloseHandle, ReadFile, WriteFile, GetLastError, ClearCommError,
    EscapeCommFunction, PurgeComm, SetCommState, GetCommState, SetupComm,
    CreateDeviceInfoList, GetDeviceInfoList,
};

inline constexpr std::uint32_t kDeviceNotFound = 2;
inline constexpr std::uint32_t kIoError = 4;

// Forgets every device, script and record, and goes back to the steady clock.
void reset();

// The time the simulated adapters live by, in milliseconds; an empty function
// restores the steady clock. Tests hand in their manual clock.
void setClock(std::function<std::int64_t()> nowMs);

void addDevice(const std::string& serial, const std::string& description);
void removeDevice(const std::string& serial);

// The next `times` calls of `call` fail; the device's last error becomes `status`
// (for the two list calls, the status is what they return).
void failCalls(Call call, std::uint32_t status, int times = 1);

// Each following write to the device takes at most the next count of bytes;
// once the counts are used up, writes take everything.
void setWriteChunks(const std::string& serial, std::vector<std::uint32_t> chunks);

// Bytes that arrive from the device, waiting in its input queue at once.
void receive(const std::string& serial, const std::string& bytes);
// Bytes that the device's output queue holds besides those still crossing the line.
void setOutputQueue(const std::string& serial, std::uint32_t pending);

// Puts a simulated adapter behind the device. Both ways, bytes cross the line
// no faster than its rate (ten bit times a byte at the rate last applied to
// the device), on the clock handed to setClock: what the program writes
// reaches the adapter at the line setting then in force, and its replies
// reach the input queue when the device's status is queried (a piece per
// query when the profile cuts its replies).
void attachAdapter(const std::string& serial, const sim::AdapterProfile& profile);

// What the attached adapter's bootloader has taken in of the upload running
// or last ended, the last mode file written to the adapter, and whether its
// bootloader has the line.
std::optional<sim::ReceivedUpload> adapterUpload(const std::string& serial);
QByteArray adapterModeFile(const std::string& serial);
bool adapterInBootloader(const std::string& serial);

std::string written(const std::string& serial);
std::uint32_t inputQueue(const std::string& serial);
int callCount(Call call);
std::vector<std::string> namesOpened(); // the names passed to CreateFile, in order
serdev::DCB lastCommState(const std::string& serial);
std::vector<std::uint32_t> escapes(const std::string& serial);
std::vector<std::uint32_t> purges(const std::string& serial);
std::vector<std::uint32_t> queueSizes(const std::string& serial); // of SetupComm: input, output
bool isOpen(const std::string& serial);

} // namespace simd2xx
