#pragma once

#include "Clock.h"

namespace platform {

// Real time: steady clock, real waits, timers on QTimer with precise timing.
class SystemClock final : public Clock {
public:
    static SystemClock& instance();

    std::int64_t nowMs() override;
    bool wait(Condition& condition, std::unique_lock<std::mutex>& lock,
              const std::function<bool()>& pred, std::stop_token stop, int timeoutMs) override;
    void notifyAll(Condition& condition) override;
    std::unique_ptr<TimerEngine> createTimer(std::function<void()> onTick) override;
};

} // namespace platform
