#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>

namespace platform {

class Condition;
class Clock;

// The clock in force: the system clock unless a test has installed another.
Clock& clock();

// What a timer needs from the clock that drives it: start with a period, stop.
class TimerEngine {
public:
    virtual ~TimerEngine() = default;
    virtual void start(int intervalMs) = 0;
    virtual void stop() = 0;
};

// The one source of time, sleeping and waiting in the program. The program
// runs on the system clock; tests install a manual clock so that the fixed
// periods of the device and its threads pass without waiting in real time.
class Clock {
public:
    virtual ~Clock() = default;

    virtual std::int64_t nowMs() = 0;

    // Blocks the calling thread until pred() holds (checked under `lock`),
    // stop is requested, or timeoutMs passes (negative: no limit).
    // Returns pred() as it stands when the wait ends.
    virtual bool wait(Condition& condition, std::unique_lock<std::mutex>& lock,
                      const std::function<bool()>& pred, std::stop_token stop,
                      int timeoutMs) = 0;
    virtual void notifyAll(Condition& condition) = 0;

    // A periodic timer whose ticks run on the user-interface thread.
    virtual std::unique_ptr<TimerEngine> createTimer(std::function<void()> onTick) = 0;

    // Background threads announce themselves, so that a manual clock knows
    // when every thread has come to rest.
    virtual void threadStarted() {}
    virtual void threadFinished() {}

    // Blocks the calling thread for `ms`, or until stop is requested.
    void sleepFor(int ms, std::stop_token stop = {});
};

// A condition variable that waits through the clock it was created under.
class Condition {
public:
    explicit Condition(Clock& clock = platform::clock());
    Condition(const Condition&) = delete;
    Condition& operator=(const Condition&) = delete;

    bool wait(std::unique_lock<std::mutex>& lock, const std::function<bool()>& pred,
              std::stop_token stop = {}, int timeoutMs = -1)
    {
        return clock_.wait(*this, lock, pred, std::move(stop), timeoutMs);
    }
    void notifyAll() { clock_.notifyAll(*this); }

    // The system clock waits on this; other clocks keep their own records.
    std::condition_variable_any& native() { return native_; }

private:
    Clock& clock_;
    std::condition_variable_any native_;
};

// Installs `replacement` as the clock for the lifetime of this object.
class ScopedClock {
public:
    explicit ScopedClock(Clock& replacement);
    ~ScopedClock();
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;

private:
    Clock* previous_;
};

} // namespace platform
