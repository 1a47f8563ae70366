#include "Clock.h"

#include "SystemClock.h"

#include <atomic>

namespace platform {

namespace {
std::atomic<Clock*> installedClock{nullptr};
}

Clock& clock()
{
    if (Clock* installed = installedClock.load())
        return *installed;
    return SystemClock::instance();
}

ScopedClock::ScopedClock(Clock& replacement)
    : previous_(installedClock.exchange(&replacement))
{
}

ScopedClock::~ScopedClock()
{
    installedClock.store(previous_);
}

void Clock::sleepFor(int ms, std::stop_token stop)
{
    Condition never(*this);
    std::mutex mutex;
    std::unique_lock lock(mutex);
    wait(never, lock, [] { return false; }, std::move(stop), ms);
}

Condition::Condition(Clock& clock)
    : clock_(clock)
{
}

} // namespace platform
