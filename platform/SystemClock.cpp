#include "SystemClock.h"

#include "TimerResolution.h"

#include <QTimer>

#include <chrono>

namespace platform {

namespace {

class QtTimerEngine final : public TimerEngine {
public:
    explicit QtTimerEngine(std::function<void()> onTick)
    {
        QObject::connect(&timer_, &QTimer::timeout, std::move(onTick));
    }
    void start(int intervalMs) override
    {
        timer_.setTimerType(preciseTimersRequested() ? Qt::PreciseTimer : Qt::CoarseTimer);
        timer_.start(intervalMs);
    }
    void stop() override { timer_.stop(); }

private:
    QTimer timer_;
};

} // namespace

SystemClock& SystemClock::instance()
{
    static SystemClock clock;
    return clock;
}

std::int64_t SystemClock::nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool SystemClock::wait(Condition& condition, std::unique_lock<std::mutex>& lock,
                       const std::function<bool()>& pred, std::stop_token stop, int timeoutMs)
{
    if (timeoutMs < 0)
        return condition.native().wait(lock, stop, pred);
    return condition.native().wait_for(lock, stop, std::chrono::milliseconds(timeoutMs), pred);
}

void SystemClock::notifyAll(Condition& condition)
{
    condition.native().notify_all();
}

std::unique_ptr<TimerEngine> SystemClock::createTimer(std::function<void()> onTick)
{
    return std::make_unique<QtTimerEngine>(std::move(onTick));
}

} // namespace platform
