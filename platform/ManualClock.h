#pragma once

#include "Clock.h"

#include <condition_variable>
#include <list>
#include <optional>
#include <thread>

namespace platform {

// A clock that moves only when the test driving it says so.
//
// The thread that creates it is the driver: the user-interface thread of the
// test. Time never moves while a background thread is still working, so every
// run sees the same order of events however loaded the machine is:
//  - advance(ms) moves time on in steps, waking the sleepers whose time has
//    come and firing due timers in order, and lets every background thread
//    come to rest before each step;
//  - a sleep or a wait of the driver itself moves time on to the next wake-up
//    as soon as every background thread is at rest, without firing timers (a
//    blocked user-interface thread dispatches nothing);
//  - background threads sleep and wait on manual time.
class ManualClock final : public Clock {
public:
    ManualClock();
    ~ManualClock() override;

    std::int64_t nowMs() override;
    bool wait(Condition& condition, std::unique_lock<std::mutex>& lock,
              const std::function<bool()>& pred, std::stop_token stop, int timeoutMs) override;
    void notifyAll(Condition& condition) override;
    std::unique_ptr<TimerEngine> createTimer(std::function<void()> onTick) override;
    void threadStarted() override;
    void threadFinished() override;

    void advance(int ms);
    // Waits until every background thread is asleep, waiting or finished.
    void settle();
    // Work the driver does while settling (delivering queued message boxes);
    // returns whether it did any.
    void setPump(std::function<bool()> pump);

    struct TimerRecord;

private:
    struct Waiter {
        Waiter(Condition* c, std::optional<std::int64_t> d, bool b) : condition(c), deadline(d), background(b) {}
        Condition* condition;
        std::optional<std::int64_t> deadline;
        bool background;
        bool woken = false;
        std::condition_variable cv;
    };

    bool onDriverThread() const { return std::this_thread::get_id() == driver_; }
    void wake(Waiter& waiter);
    std::optional<std::int64_t> earliestDeadline() const;
    TimerRecord* earliestDueTimer() const;
    void moveTimeTo(std::int64_t time);
    void runTimeUntilWoken(std::unique_lock<std::mutex>& guard, Waiter& waiter);

    friend class ManualTimerEngine;

    std::mutex mutex_;
    std::condition_variable stateChanged_;
    std::int64_t now_ = 0;
    int runningThreads_ = 0;
    std::list<Waiter*> waiters_;
    std::list<TimerRecord*> timers_;
    std::uint64_t nextTimerSequence_ = 0;
    std::thread::id driver_;
    std::function<bool()> pump_;
};

} // namespace platform
