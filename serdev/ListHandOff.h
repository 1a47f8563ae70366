#pragma once

#include "PortLists.h"
#include "platform/Clock.h"

#include <mutex>
#include <stop_token>

namespace serdev {

// The lists of an enumeration thread, handed to the user-interface thread:
// replacing the lists and copying them exclude each other, so a copy never
// sees half-built lists. Each side checks and claims under one lock, so the
// two can never wait for each other.
class ListHandOff {
public:
    // Enumeration thread: waits while a copy runs, then claims the lists.
    // Returns false, claiming nothing, when stop is requested first.
    bool beginReplace(std::stop_token stop);
    void endReplace();
    // Only between beginReplace and endReplace.
    PortLists& replacing() { return lists_; }

    // User-interface thread: waits while a replacement runs, then appends the
    // lists to the caller's; returns the number of entries appended.
    int copyTo(QByteArrayList& names, QByteArrayList& descriptions, QByteArrayList& deviceIds);

private:
    std::mutex mutex_;
    platform::Condition changed_;
    bool listReady_ = true;     // false while the lists are being replaced
    bool readerActive_ = false; // true while the lists are being copied
    PortLists lists_;
};

} // namespace serdev
