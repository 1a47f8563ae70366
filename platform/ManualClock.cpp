#include "ManualClock.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace platform {

struct ManualClock::TimerRecord {
    std::function<void()> onTick;
    bool armed = false;
    int intervalMs = 0;
    std::int64_t due = 0;
    std::uint64_t sequence = 0;
};

class ManualTimerEngine final : public TimerEngine {
public:
    ManualTimerEngine(ManualClock& clock, std::function<void()> onTick)
        : clock_(clock)
    {
        record_.onTick = std::move(onTick);
        std::lock_guard guard(clock_.mutex_);
        clock_.timers_.push_back(&record_);
    }
    ~ManualTimerEngine() override
    {
        std::lock_guard guard(clock_.mutex_);
        clock_.timers_.remove(&record_);
    }
    void start(int intervalMs) override
    {
        std::lock_guard guard(clock_.mutex_);
        record_.armed = true;
        record_.intervalMs = intervalMs;
        record_.due = clock_.now_ + intervalMs;
        record_.sequence = ++clock_.nextTimerSequence_;
    }
    void stop() override
    {
        std::lock_guard guard(clock_.mutex_);
        record_.armed = false;
    }

private:
    ManualClock& clock_;
    ManualClock::TimerRecord record_;
};

ManualClock::ManualClock()
    : driver_(std::this_thread::get_id())
{
}

ManualClock::~ManualClock() = default;

std::int64_t ManualClock::nowMs()
{
    std::lock_guard guard(mutex_);
    return now_;
}

void ManualClock::wake(Waiter& waiter)
{
    if (waiter.woken)
        return;
    waiter.woken = true;
    waiters_.remove(&waiter);
    if (waiter.background)
        ++runningThreads_;
    waiter.cv.notify_one();
    stateChanged_.notify_all();
}

std::optional<std::int64_t> ManualClock::earliestDeadline() const
{
    std::optional<std::int64_t> earliest;
    for (const Waiter* waiter : waiters_)
        if (waiter->deadline && (!earliest || *waiter->deadline < *earliest))
            earliest = waiter->deadline;
    return earliest;
}

ManualClock::TimerRecord* ManualClock::earliestDueTimer() const
{
    TimerRecord* earliest = nullptr;
    for (TimerRecord* timer : timers_) {
        if (!timer->armed)
            continue;
        if (!earliest || timer->due < earliest->due
            || (timer->due == earliest->due && timer->sequence < earliest->sequence))
            earliest = timer;
    }
    return earliest;
}

void ManualClock::moveTimeTo(std::int64_t time)
{
    now_ = std::max(now_, time);
    std::vector<Waiter*> due;
    for (Waiter* waiter : waiters_)
        if (waiter->deadline && *waiter->deadline <= now_)
            due.push_back(waiter);
    for (Waiter* waiter : due)
        wake(*waiter);
}

void ManualClock::runTimeUntilWoken(std::unique_lock<std::mutex>& guard, Waiter& waiter)
{
    while (!waiter.woken) {
        if (runningThreads_ > 0) {
            stateChanged_.wait(guard);
            continue;
        }
        const auto next = earliestDeadline();
        if (!next) {
            std::fputs("ManualClock: the driving thread waits for something that no thread "
                       "will ever do\n", stderr);
            std::abort();
        }
        moveTimeTo(*next);
    }
}

bool ManualClock::wait(Condition& condition, std::unique_lock<std::mutex>& lock,
                       const std::function<bool()>& pred, std::stop_token stop, int timeoutMs)
{
    const bool driver = onDriverThread();
    std::optional<std::int64_t> deadline;
    if (timeoutMs >= 0)
        deadline = nowMs() + timeoutMs;

    for (;;) {
        if (pred())
            return true;
        if (stop.stop_requested())
            return false;
        if (deadline && nowMs() >= *deadline)
            return false;

        Waiter waiter(&condition, deadline, !driver);
        {
            std::lock_guard guard(mutex_);
            waiters_.push_back(&waiter);
            if (!driver) {
                --runningThreads_;
                stateChanged_.notify_all();
            }
        }
        {
            std::stop_callback onStop(stop, [&] {
                std::lock_guard guard(mutex_);
                wake(waiter);
            });
            lock.unlock();
            std::unique_lock guard(mutex_);
            if (driver)
                runTimeUntilWoken(guard, waiter);
            else
                waiter.cv.wait(guard, [&] { return waiter.woken; });
        }
        lock.lock();
    }
}

void ManualClock::notifyAll(Condition& condition)
{
    std::lock_guard guard(mutex_);
    std::vector<Waiter*> matching;
    for (Waiter* waiter : waiters_)
        if (waiter->condition == &condition)
            matching.push_back(waiter);
    for (Waiter* waiter : matching)
        wake(*waiter);
}

std::unique_ptr<TimerEngine> ManualClock::createTimer(std::function<void()> onTick)
{
    return std::make_unique<ManualTimerEngine>(*this, std::move(onTick));
}

void ManualClock::threadStarted()
{
    std::lock_guard guard(mutex_);
    ++runningThreads_;
}

void ManualClock::threadFinished()
{
    std::lock_guard guard(mutex_);
    --runningThreads_;
    stateChanged_.notify_all();
}

void ManualClock::settle()
{
    for (;;) {
        {
            std::unique_lock guard(mutex_);
            stateChanged_.wait(guard, [&] { return runningThreads_ == 0; });
        }
        if (!pump_ || !pump_())
            return;
    }
}

void ManualClock::setPump(std::function<bool()> pump)
{
    pump_ = std::move(pump);
}

void ManualClock::advance(int ms)
{
    const std::int64_t target = nowMs() + ms;
    for (;;) {
        settle();
        std::unique_lock guard(mutex_);
        const auto wakeAt = earliestDeadline();
        TimerRecord* timer = earliestDueTimer();
        if (wakeAt && *wakeAt <= target && (!timer || *wakeAt <= timer->due)) {
            moveTimeTo(*wakeAt);
            continue;
        }
        if (timer && timer->due <= target) {
            now_ = std::max(now_, timer->due);
            // Periodic, as a window timer is; a handler that sets its own
            // interval overrides this.
            timer->due = now_ + timer->intervalMs;
            timer->sequence = ++nextTimerSequence_;
            auto tick = timer->onTick; // the handler may destroy its own timer
            guard.unlock();
            tick();
            continue;
        }
        now_ = std::max(now_, target);
        break;
    }
    settle();
}

} // namespace platform
