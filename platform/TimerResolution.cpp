#include "TimerResolution.h"

#include <atomic>

namespace platform {

namespace {
std::atomic<int> openRequests{0};
}

void beginPreciseTimers()
{
    ++openRequests;
}

void endPreciseTimers()
{
    int current = openRequests.load();
    while (current > 0 && !openRequests.compare_exchange_weak(current, current - 1)) {
    }
}

bool preciseTimersRequested()
{
    return openRequests.load() > 0;
}

} // namespace platform
