#include "Timer.h"

namespace platform {

Timer::Timer(std::function<void()> onTick, Clock& clock)
    : engine_(clock.createTimer(std::move(onTick)))
{
}

Timer::~Timer() = default;

void Timer::setInterval(int ms)
{
    if (ms < 0)
        ms = 0;
    if (ms == intervalMs_)
        return;
    intervalMs_ = ms;
    if (ms == 0)
        engine_->stop();
    else
        engine_->start(ms);
}

} // namespace platform
