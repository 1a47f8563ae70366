#pragma once

#include "D2xxApi.h"
#include "ListHandOff.h"
#include "PortLists.h"
#include "platform/BackgroundThread.h"
#include "platform/Library.h"

#include <atomic>
#include <memory>
#include <vector>

namespace serdev {

// The background thread that lists the FTDI devices attached, through its own
// binding of the D2XX library. It enumerates only when asked: once at start,
// then after each RequestScan that is not held back by a Hold before it wakes.
class TListUSB {
public:
    static constexpr int kWakePeriodMs = 1331;
    // More devices than any bus holds: a count above it is taken as a fault of the library.
    static constexpr Dword kMaxDevices = 1024;

    TListUSB();
    ~TListUSB();
    TListUSB(const TListUSB&) = delete;
    TListUSB& operator=(const TListUSB&) = delete;

    void Hold() { Idle = true; }
    void RequestScan() { Idle = false; }
    int CopyLists(QByteArrayList& names, QByteArrayList& descriptions, QByteArrayList& deviceIds);
    void Terminate() { thread_.requestStop(); }

    // True while the thread is inside its D2XX enumeration calls.
    std::atomic<bool> Busy{false};
    // False asks for one enumeration pass; the thread sets it after each pass.
    std::atomic<bool> Idle{false};

private:
    void Execute(std::stop_token stop);
    void Pass(std::stop_token stop);
    void EnumerateDevices();

    platform::Clock& clock_;
    ListHandOff handOff_;
    std::unique_ptr<platform::Library> D2xxLibrary;
    std::vector<FtDeviceListInfoNode> Nodes;
    Dword DeviceCount = 0;
    platform::BackgroundThread thread_; // last: runs once everything above exists
};

} // namespace serdev
