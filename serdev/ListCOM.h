#pragma once

#include "ListHandOff.h"
#include "PortLists.h"
#include "SerialPortEnumeration.h"
#include "platform/BackgroundThread.h"

#include <atomic>
#include <functional>
#include <optional>
#include <vector>

namespace serdev {

class TListUSB;

// The background thread that keeps the list of serial ports. Every cycle it
// enumerates; when the enumeration differs from the last one it rebuilds its
// lists, gives the system a moment, and asks the USB thread for a pass too.
class TListCOM {
public:
    static constexpr int kCyclePeriodMs = 1131;
    static constexpr int kSettleAfterRebuildMs = 673;

    explicit TListCOM(SerialPortSource source);
    ~TListCOM();
    TListCOM(const TListCOM&) = delete;
    TListCOM& operator=(const TListCOM&) = delete;

    void SetUsb(TListUSB* usb) { Usb = usb; }
    int CopyLists(QByteArrayList& names, QByteArrayList& descriptions, QByteArrayList& deviceIds);
    void Terminate() { thread_.requestStop(); }

private:
    void Execute(std::stop_token stop);
    // False when the enumeration failed.
    bool Pass(std::stop_token stop);

    platform::Clock& clock_;
    std::atomic<TListUSB*> Usb{nullptr};
    SerialPortSource source_;
    std::optional<std::vector<SerialPort>> lastEnumeration_;
    ListHandOff handOff_;
    platform::BackgroundThread thread_; // last: runs once everything above exists
};

} // namespace serdev
