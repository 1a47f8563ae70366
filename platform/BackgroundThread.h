#pragma once

#include "Clock.h"

#include <functional>
#include <stop_token>
#include <thread>

namespace platform {

// A thread that starts running at once and is asked to stop and joined when
// it is destroyed. Its body sleeps and waits through the clock it was started
// under, with the stop token it is given, so a stop request ends any wait.
class BackgroundThread {
public:
    using Body = std::function<void(std::stop_token)>;

    // `name` (15 bytes at most) is what the system shows for the thread, as in top.
    BackgroundThread(const char* name, Body body, Clock& clock = platform::clock());
    ~BackgroundThread();
    BackgroundThread(const BackgroundThread&) = delete;
    BackgroundThread& operator=(const BackgroundThread&) = delete;

    void requestStop() { thread_.request_stop(); }
    void join();

private:
    std::jthread thread_;
};

} // namespace platform
