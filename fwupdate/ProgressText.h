#pragma once

#include <QString>

#include <cstdint>

namespace fwupdate {

// What the progress bar says during an upload, beside the status line,
// whose texts stay as they are.

// How long the upload waits for the bootloader's prompt before it says so.
inline constexpr std::int64_t kSilentBootloaderMs = 10000;
QString silentBootloaderText();

// The share done and the time left, estimated from the rate at which the
// bootloader has taken pages so far; the share alone before it has taken one.
// In QProgressBar's format, where "%p" is the percentage.
QString pageProgressText(std::int32_t pagesTaken, std::int32_t pageCount, std::int64_t elapsedMs);

} // namespace fwupdate
