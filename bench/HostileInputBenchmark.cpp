// velmora-hostile-bench: the real window against devices that misbehave.
// Each case runs in a process of its own, so that its peak memory is its own:
//
//   no-line-end      a device that sends 100 MB without a line end
//   endless-lines    a device that sends lines without end (a GPS receiver)
//   endless-test     an adapter whose self-test never ends
//   many-modes       an adapter that lists 4,000 modes
//
// Each reports the longest time the window spent on one event (a tick of the
// exchange is one), the peak resident memory above the idle window's, how
// long the exchange took and how it ended. Goal: no event over 20 ms, and
// memory within 10 MB of idle. The chattering devices feed a pseudo-terminal
// as fast as the window takes the bytes; the adapters are the simulator,
// which paces every byte at 115200 baud.

#include "app/Application.h"
#include "app/UnitMain.h"
#include "app/UnitMainData.h"
#include "platform/MessageBox.h"
#include "ui_UnitMain.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr qint64 kFeedLimitBytes = 100LL * 1000 * 1000;
constexpr qint64 kCaseLimitMs = 10 * 60 * 1000;

// The time the longest event took, measured where every event is delivered.
class TimedApplication final : public app::TApplication {
public:
    using app::TApplication::TApplication;
    bool notify(QObject* receiver, QEvent* event) override
    {
        if (depth_++ > 0) {
            const bool handled = app::TApplication::notify(receiver, event);
            --depth_;
            return handled;
        }
        QElapsedTimer timer;
        timer.start();
        const bool handled = app::TApplication::notify(receiver, event);
        longestNs = std::max(longestNs, timer.nsecsElapsed());
        --depth_;
        return handled;
    }
    qint64 longestNs = 0;

private:
    int depth_ = 0;
};

qint64 statusKb(const char* field)
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// Makes the peak resident size start again from the present one.
void resetPeakMemory()
{
    QFile clear("/proc/self/clear_refs");
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

// A device at the far end of a pseudo-terminal that sends `chunk` over and
// over, as fast as the line takes it, until told to stop or `limit` is sent.
class ChatteringDevice {
public:
    ChatteringDevice()
    {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        ::grantpt(master_);
        ::unlockpt(master_);
        path_ = ::ptsname(master_);
    }
    ~ChatteringDevice()
    {
        stop();
        ::close(master_);
    }
    QByteArray path() const { return path_; }
    void start(QByteArray chunk, qint64 limit)
    {
        feeder_ = std::thread([this, chunk = std::move(chunk), limit] {
            while (!stop_ && sent_ < limit) {
                pollfd writable{master_, POLLOUT, 0};
                if (::poll(&writable, 1, 50) <= 0)
                    continue;
                const ssize_t put = ::write(master_, chunk.constData(), static_cast<size_t>(chunk.size()));
                if (put > 0)
                    sent_ += put;
                // Whatever the window sends is read and dropped.
                char drain[4096];
                pollfd readable{master_, POLLIN, 0};
                while (::poll(&readable, 1, 0) > 0 && ::read(master_, drain, sizeof drain) > 0) {
                }
            }
        });
    }
    void stop()
    {
        stop_ = true;
        if (feeder_.joinable())
            feeder_.join();
    }
    qint64 sent() const { return sent_; }

private:
    int master_ = -1;
    QByteArray path_;
    std::thread feeder_;
    std::atomic<bool> stop_{false};
    std::atomic<qint64> sent_{0};
};

struct Outcome {
    qint64 tookMs = 0;
    QString ended; // the first line of the box the exchange ended with, or how else it ended
};

Outcome runExchange(app::TfrmMain& window, QPushButton& start, const QStringList& boxes)
{
    QElapsedTimer elapsed;
    elapsed.start();
    start.click();
    while (window.exchange().isRunning() && elapsed.elapsed() < kCaseLimitMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    Outcome outcome{elapsed.elapsed(), {}};
    if (window.exchange().isRunning())
        outcome.ended = QStringLiteral("still running after 10 minutes");
    else if (boxes.isEmpty())
        outcome.ended = QStringLiteral("ended without a box");
    else
        outcome.ended = boxes.last().section(QLatin1Char('\n'), 0, 0);
    return outcome;
}

void settle(int ms)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
}

int runCase(const QString& name, TimedApplication& application)
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QStringList boxes;
    platform::setMessageBoxPresenter([&](const platform::MessageBoxCall& call) {
        boxes << call.text;
        return platform::kBoxResultOk;
    });

    const bool chattering = name == QLatin1String("no-line-end") || name == QLatin1String("endless-lines");
    ChatteringDevice device;
    QProcess simulator;
    QByteArray port;
    if (chattering) {
        port = device.path();
    } else {
        simulator.start(QStringLiteral(ADAPTER_SIM_PATH), {QStringLiteral("--scenario"), name});
        if (!simulator.waitForReadyRead(10000))
            return std::fprintf(stderr, "the simulator did not start\n"), 1;
        port = simulator.readLine().trimmed();
    }
    qputenv("VELMORA_PORTS", port);
    QFile settings(config.path() + QStringLiteral("/velmora-configurator/settings.json"));
    QDir().mkpath(config.path() + QStringLiteral("/velmora-configurator"));
    settings.open(QIODevice::WriteOnly);
    settings.write("{\"Port\": \"" + port + "\"}");
    settings.close();

    app::initialiseUnitData();
    app::TfrmMain window;
    window.show();
    Ui::TfrmMain& ui = window.form();
    settle(1500);
    if (name == QLatin1String("endless-test")) {
        runExchange(window, *ui.btSearch, boxes); // found as usual
        settle(500);
    }
    const qint64 idleKb = statusKb("VmRSS:");
    resetPeakMemory();
    application.longestNs = 0;

    if (chattering)
        device.start(name == QLatin1String("no-line-end")
                         ? QByteArray(64 * 1024, 'A')
                         : QByteArray("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n"),
                     kFeedLimitBytes);
    QPushButton& start = name == QLatin1String("endless-test") ? *ui.btRunTest : *ui.btSearch;
    const Outcome outcome = runExchange(window, start, boxes);
    const double longestMs = application.longestNs / 1e6;
    const double aboveIdleMb = (statusKb("VmHWM:") - idleKb) / 1024.0;
    device.stop();

    std::printf("%-14s longest event %6.1f ms   peak memory %+6.1f MB over idle (%.0f MB)   took %5.1f s",
                name.toLatin1().constData(), longestMs, aboveIdleMb, idleKb / 1024.0, outcome.tookMs / 1000.0);
    if (chattering)
        std::printf("   fed %.1f MB", device.sent() / 1e6);
    if (name == QLatin1String("many-modes"))
        std::printf("   %d rows", ui.lvModes->topLevelItemCount());
    std::printf("\n%-14s ended: %s\n", "", outcome.ended.toLocal8Bit().constData());
    std::fflush(stdout);
    simulator.terminate();
    simulator.waitForFinished(5000);
    platform::setMessageBoxPresenter({});
    return longestMs <= 20 && aboveIdleMb <= 10 ? 0 : 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const QStringList cases{QStringLiteral("no-line-end"), QStringLiteral("endless-lines"),
                            QStringLiteral("endless-test"), QStringLiteral("many-modes")};
    if (argc == 2) {
        TimedApplication application(argc, argv);
        return runCase(QString::fromLocal8Bit(argv[1]), application);
    }
    // Every case in a process of its own.
    std::printf("goal: no event over 20 ms, peak memory within 10 MB of the idle window\n");
    std::fflush(stdout);
    int worst = 0;
    for (const QString& name : cases) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QString::fromLocal8Bit(argv[0]), {name});
        child.waitForFinished(-1);
        worst = std::max(worst, child.exitCode());
    }
    return worst;
}
