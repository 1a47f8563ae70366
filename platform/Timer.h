#pragma once

#include "Clock.h"

#include <functional>
#include <memory>

namespace platform {

// A window timer: a non-zero interval starts it, 0 stops it. Setting the
// interval it already has changes nothing; any other value restarts the
// period from now. Its ticks run on the user-interface thread.
class Timer {
public:
    explicit Timer(std::function<void()> onTick, Clock& clock = platform::clock());
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    void setInterval(int ms);
    int interval() const { return intervalMs_; }
    bool isRunning() const { return intervalMs_ > 0; }

private:
    std::unique_ptr<TimerEngine> engine_;
    int intervalMs_ = 0;
};

} // namespace platform
