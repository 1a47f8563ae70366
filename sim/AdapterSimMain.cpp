// velmora-adapter-sim: a simulated adapter on a serial line, for trying the
// configurator without hardware. It answers on a new pseudo-terminal (its
// path is printed on standard output) or on a given serial device, at the
// real pace of its baud rate, until it is interrupted or terminated.

#include "AdapterCore.h"
#include "KeptFile.h"
#include "PacedLine.h"
#include "SampleFiles.h"
#include "SerialEndpoint.h"
#include "UploadLog.h"

#include <QByteArray>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <poll.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int)
{
    stopRequested = 1;
}

// The rates the configurator's search tries; the adapter runs at one of them.
constexpr std::uint32_t kSearchedRates[] = {115200, 38400, 19200, 9600, 125000};

struct Options {
    QByteArray device;
    std::uint32_t baud = 115200;
    QByteArray scenario = "standard";
    std::optional<std::uint16_t> pageSize;
    QByteArray keepUpload;
    QByteArray keepModeFile;
};

constexpr std::uint16_t kSmallestPage = 64;
constexpr std::uint16_t kLargestPage = 1024;

void printUsage(std::FILE* to)
{
    std::fprintf(to,
                 "usage: velmora-adapter-sim [--device PATH] [--baud RATE] [--scenario NAME]\n"
                 "  --device PATH    answer on this serial device instead of a new pseudo-terminal\n"
                 "  --baud RATE      the adapter's rate: 115200 (default), 38400, 19200, 9600 or 125000;\n"
                 "                   always with no parity and 8 data bits\n"
                 "  --scenario NAME  %s (default: standard)\n"
                 "  --page-size N    the page size the bootloader names, 64 to 1024 (default: 256)\n"
                 "  --keep-upload PATH  write each image the bootloader takes in whole to PATH\n"
                 "  --keep-mode-file PATH  write each mode file the adapter takes in to PATH\n",
                 sim::scenarioNames().join(", ").constData());
}

std::optional<Options> parseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            printUsage(stdout);
            std::exit(0);
        } else if (arg == "--device" && hasValue) {
            options.device = argv[++i];
        } else if (arg == "--baud" && hasValue) {
            bool ok = false;
            options.baud = QByteArray(argv[++i]).toUInt(&ok);
            if (!ok || std::find(std::begin(kSearchedRates), std::end(kSearchedRates), options.baud)
                           == std::end(kSearchedRates))
                return std::nullopt;
        } else if (arg == "--scenario" && hasValue) {
            options.scenario = argv[++i];
        } else if (arg == "--page-size" && hasValue) {
            bool ok = false;
            const uint size = QByteArray(argv[++i]).toUInt(&ok);
            if (!ok || size < kSmallestPage || size > kLargestPage)
                return std::nullopt;
            options.pageSize = static_cast<std::uint16_t>(size);
        } else if (arg == "--keep-upload" && hasValue) {
            options.keepUpload = argv[++i];
        } else if (arg == "--keep-mode-file" && hasValue) {
            options.keepModeFile = argv[++i];
        } else {
            return std::nullopt;
        }
    }
    return options;
}

std::int64_t nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// How long the loop may sleep before the adapter sends again, at most `limitMs`.
int untilNextSend(const sim::AdapterCore& adapter, int limitMs)
{
    const std::optional<std::int64_t> next = adapter.nextSendMs();
    if (!next)
        return limitMs;
    return static_cast<int>(std::clamp<std::int64_t>(*next - nowMs(), 0, limitMs));
}

} // namespace

int main(int argc, char** argv)
{
    const std::optional<Options> options = parseOptions(argc, argv);
    if (!options) {
        printUsage(stderr);
        return 2;
    }
    std::optional<sim::AdapterProfile> profile = sim::scenarioProfile(options->scenario);
    if (!profile) {
        std::fprintf(stderr, "velmora-adapter-sim: no scenario named '%s'\n", options->scenario.constData());
        printUsage(stderr);
        return 2;
    }
    profile->line.baud = options->baud;
    if (options->pageSize)
        profile->bootloader.pageSize = *options->pageSize;

    QByteArray error;
    std::optional<sim::SerialEndpoint> endpoint = options->device.isEmpty()
        ? sim::SerialEndpoint::openPseudoTerminal(error)
        : sim::SerialEndpoint::openDevice(options->device, profile->line, error);
    if (!endpoint) {
        std::fprintf(stderr, "velmora-adapter-sim: %s\n", error.constData());
        return 1;
    }

    struct sigaction action {};
    action.sa_handler = requestStop;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);

    std::printf("%s\n", endpoint->path().constData());
    std::fflush(stdout);
    std::fprintf(stderr, "velmora-adapter-sim: '%s' adapter answering at %s on %s\n",
                 options->scenario.constData(), sim::lineSettingText(profile->line).constData(),
                 endpoint->path().constData());

    sim::AdapterCore adapter(*profile);
    PacedSender sender(profile->line.baud, profile->pieceSize);
    PacedReceiver receiver;
    UploadLog uploadLog(options->keepUpload);
    qsizetype commandsLogged = 0;
    QByteArray modeLogged = adapter.activeMode();
    QByteArray modeFileLogged;
    std::optional<bool> powerLogged = adapter.externalPower();
    char buffer[4096];
    while (!stopRequested) {
        pollfd watch{endpoint->fd(), POLLIN, 0};
        ::poll(&watch, 1, sender.idle() && receiver.idle() ? untilNextSend(adapter, 50) : 1);
        for (;;) {
            const ssize_t n = ::read(endpoint->fd(), buffer, sizeof buffer);
            if (n > 0) {
                receiver.queue(QByteArray(buffer, n));
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR && errno != EIO) {
                std::fprintf(stderr, "velmora-adapter-sim: the line is gone: %s\n", std::strerror(errno));
                return 1;
            }
            break;
        }
        // The adapter takes the bytes in at the pace the line carries them.
        const sim::LineSetting line = endpoint->currentLine();
        const QByteArray arrived = receiver.take(line.baud);
        if (!arrived.isEmpty())
            sender.queue(adapter.receive(arrived, line, nowMs()));
        sender.queue(adapter.takeSent(nowMs()));
        for (; commandsLogged < adapter.commandsHeard().size(); ++commandsLogged)
            std::fprintf(stderr, "velmora-adapter-sim: command %c\n", adapter.commandsHeard()[commandsLogged]);
        if (adapter.activeMode() != modeLogged) {
            modeLogged = adapter.activeMode();
            std::fprintf(stderr, "velmora-adapter-sim: active mode %s\n", modeLogged.constData());
        }
        if (adapter.modeFile() != modeFileLogged) {
            modeFileLogged = adapter.modeFile();
            const std::optional<sim::Mode> mode = sim::modeOfFile(modeFileLogged);
            std::fprintf(stderr, "velmora-adapter-sim: mode file of %d bytes written%s\n",
                         static_cast<int>(modeFileLogged.size()),
                         mode ? (": mode " + mode->id + " - " + mode->description).constData() : "");
            if (!options->keepModeFile.isEmpty() && !keepFile(options->keepModeFile, modeFileLogged))
                std::fprintf(stderr, "velmora-adapter-sim: cannot write %s\n", options->keepModeFile.constData());
        }
        uploadLog.update(adapter);
        if (adapter.externalPower() != powerLogged) {
            powerLogged = adapter.externalPower();
            std::fprintf(stderr, "velmora-adapter-sim: external power %s\n", *powerLogged ? "on" : "off");
        }
        if (!sender.send(endpoint->fd())) {
            std::fprintf(stderr, "velmora-adapter-sim: the line is gone: %s\n", std::strerror(errno));
            return 1;
        }
    }
    return 0;
}
