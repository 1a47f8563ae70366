#include "platform/BackgroundThread.h"
#include "platform/ManualClock.h"
#include "platform/SystemClock.h"
#include "platform/Timer.h"

#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

using platform::BackgroundThread;
using platform::Condition;
using platform::ManualClock;
using platform::Timer;

namespace {

struct Tick {
    char timer;
    std::int64_t at;
    friend bool operator==(const Tick&, const Tick&) = default;
};

} // namespace

TEST(ManualClock, TimersTickInOrderOfDueTimeAndRepeatUntilStopped)
{
    ManualClock clock;
    std::vector<Tick> ticks;
    Timer fast([&] { ticks.push_back({'f', clock.nowMs()}); }, clock);
    Timer slow([&] { ticks.push_back({'s', clock.nowMs()}); }, clock);
    fast.setInterval(10);
    slow.setInterval(25);

    clock.advance(30);
    EXPECT_EQ(ticks, (std::vector<Tick>{{'f', 10}, {'f', 20}, {'s', 25}, {'f', 30}}));

    ticks.clear();
    fast.setInterval(0);
    clock.advance(30);
    EXPECT_EQ(ticks, (std::vector<Tick>{{'s', 50}}));
}

TEST(ManualClock, SettingTheSameIntervalKeepsThePeriodAndAnotherRestartsIt)
{
    ManualClock clock;
    std::vector<std::int64_t> ticks;
    Timer timer([&] { ticks.push_back(clock.nowMs()); }, clock);
    timer.setInterval(10);
    clock.advance(6);
    timer.setInterval(10); // unchanged: still due at 10
    clock.advance(6);
    timer.setInterval(20); // restarts from 12
    clock.advance(30);
    EXPECT_EQ(ticks, (std::vector<std::int64_t>{10, 32}));
}

TEST(ManualClock, HandlerThatStopsAndRearmsItsTimerMeasuresFromItsEnd)
{
    ManualClock clock;
    std::vector<std::int64_t> ticks;
    Timer* self = nullptr;
    Timer timer([&] {
        self->setInterval(0);
        ticks.push_back(clock.nowMs());
        clock.sleepFor(5); // the user-interface thread is held; nothing else ticks
        self->setInterval(10);
    }, clock);
    self = &timer;
    timer.setInterval(10);
    clock.advance(40);
    EXPECT_EQ(ticks, (std::vector<std::int64_t>{10, 25, 40}));
}

TEST(ManualClock, BackgroundSleepEndsOnlyWhenTimeReachesIt)
{
    ManualClock clock;
    std::atomic<std::int64_t> wokeAt{-1};
    BackgroundThread sleeper("sleeper", [&](std::stop_token stop) {
        clock.sleepFor(1331, stop);
        wokeAt = clock.nowMs();
    }, clock);

    clock.advance(1330);
    EXPECT_EQ(wokeAt, -1);
    clock.advance(1);
    EXPECT_EQ(wokeAt, 1331);
}

TEST(ManualClock, DriverWaitMovesTimeOnToTheThreadThatWillAnswer)
{
    ManualClock clock;
    std::mutex mutex;
    Condition answered(clock);
    bool ready = false;
    BackgroundThread worker("worker", [&](std::stop_token stop) {
        clock.sleepFor(673, stop);
        std::lock_guard guard(mutex);
        ready = true;
        answered.notifyAll();
    }, clock);

    std::unique_lock lock(mutex);
    EXPECT_TRUE(answered.wait(lock, [&] { return ready; }));
    EXPECT_EQ(clock.nowMs(), 673);
}

TEST(ManualClock, StopRequestEndsASleepAtOnce)
{
    ManualClock clock;
    std::atomic<bool> ended{false};
    {
        BackgroundThread sleeper("sleeper", [&](std::stop_token stop) {
            clock.sleepFor(1'000'000, stop);
            ended = true;
        }, clock);
        clock.settle();
    } // joins
    EXPECT_TRUE(ended);
    EXPECT_EQ(clock.nowMs(), 0);
}

// The program's own clock, in real time: short periods only, none of the device's.
TEST(SystemClock, TimerTicksFromTheEventLoopUntilStopped)
{
    int ticks = 0;
    QEventLoop loop;
    Timer* self = nullptr;
    Timer timer([&] {
        if (++ticks == 3) {
            self->setInterval(0);
            loop.quit();
        }
    }, platform::SystemClock::instance());
    self = &timer;
    timer.setInterval(1);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit); // a bound, should the timer never tick
    loop.exec();
    EXPECT_EQ(ticks, 3);
    EXPECT_FALSE(timer.isRunning());
}

TEST(SystemClock, StopRequestEndsALongSleepAtOnce)
{
    platform::SystemClock& clock = platform::SystemClock::instance();
    const auto started = clock.nowMs();
    {
        BackgroundThread sleeper("sleeper", [&](std::stop_token stop) { clock.sleepFor(600'000, stop); }, clock);
    }
    EXPECT_LT(clock.nowMs() - started, 60'000);
}
