// velmora-upload-bench: how long a whole upload of a 64 KiB image takes,
// from Start to the end's acknowledgement, through a pseudo-terminal against
// the simulated bootloader, which carries every byte both ways no faster than
// 115200 baud. It is compared with two floors: the time the bytes alone need
// on the wire, and the time that the upload's own ticks allow.

#include "fwupdate/FirmwareImage.h"
#include "fwupdate/Unitfwupdate.h"
#include "serdev/SerDev.h"
#include "sim/SampleFiles.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>

namespace {

constexpr qsizetype kPageDataBytes = 64 * 1024;
constexpr double kBitsPerByte = 10; // start bit, eight data bits, stop bit
constexpr double kBaud = 115200;
constexpr int kLimitMs = 120000;
constexpr double kCharacterMs = kBitsPerByte * 1000 / kBaud;

// What each side sends, in bytes.
constexpr qsizetype kConnect = 1;
constexpr qsizetype kConnectAck = 2;
constexpr qsizetype kHeaderPacket = 3 + fwupdate::kHeaderSize;
constexpr qsizetype kAck = 4;
constexpr qsizetype kRequest = 3;
constexpr qsizetype kEndPacket = 3;

// Every byte of the upload on the wire, both ways, from the connect byte to
// the end's acknowledgement: the exchange is lock-step, so they add up.
qsizetype bytesOnTheWire(std::int32_t pageCount, std::int32_t pageSize)
{
    const qsizetype host = kConnect + kHeaderPacket + qsizetype{pageCount} * (5 + pageSize) + kEndPacket;
    const qsizetype bootloader = kConnectAck + kAck + qsizetype{pageCount} * (kRequest + kAck) + kRequest + kAck;
    return host + bootloader;
}

// The first tick at which the upload sees bytes that arrived at `arrivalMs`:
// it reads the port only on its ticks, the first 100 ms after Start and then
// every 10 ms at best.
double tickSeeing(double arrivalMs)
{
    const double first = fwupdate::TFWUpdate::kFirstTickMs;
    const double period = fwupdate::TFWUpdate::kTickMs;
    return arrivalMs <= first ? first : first + std::ceil((arrivalMs - first) / period) * period;
}

// The shortest whole upload that these ticks allow, with a bootloader that
// answers the instant a message has arrived: each step waits for its bytes
// to cross the wire both ways, then for the next tick.
double tickFloorMs(std::int32_t pageCount, std::int32_t pageSize)
{
    // The connect byte leaves at Start; its ack is seen on the first tick.
    double tick = tickSeeing((kConnect + kConnectAck) * kCharacterMs);
    // The header; its ack and the first page request.
    tick = tickSeeing(tick + (kHeaderPacket + kAck + kRequest) * kCharacterMs);
    // Each page; its ack and the next request, the last of which asks for the end.
    for (std::int32_t page = 0; page < pageCount; ++page)
        tick = tickSeeing(tick + (5 + pageSize + kAck + kRequest) * kCharacterMs);
    // The end packet and its ack.
    return tickSeeing(tick + (kEndPacket + kAck) * kCharacterMs);
}

bool fail(const char* what)
{
    std::fprintf(stderr, "velmora-upload-bench: %s\n", what);
    return false;
}

bool run()
{
    QTemporaryDir directory;
    const QString imagePath = directory.filePath(QStringLiteral("image.rfw"));
    const QString keptPath = directory.filePath(QStringLiteral("kept.rfw"));
    const QByteArray image = sim::sampleFirmwareImage(kPageDataBytes);
    QFile imageFile(imagePath);
    if (!imageFile.open(QIODevice::WriteOnly) || imageFile.write(image) != image.size())
        return fail("cannot write the image");
    imageFile.close();

    QProcess simulator;
    simulator.start(QStringLiteral(ADAPTER_SIM_PATH),
                    {QStringLiteral("--scenario"), QStringLiteral("in-bootloader"), QStringLiteral("--keep-upload"),
                     keptPath});
    if (!simulator.waitForReadyRead(10000))
        return fail("the simulator did not start");
    const QByteArray port = simulator.readLine().trimmed();

    serdev::TSerDev device(nullptr);
    device.PortName = port;
    QProgressBar progress;
    QLineEdit status;
    fwupdate::TFWUpdate upload;
    // Without waiting for a prompt: the connect byte leaves at Start, and the
    // bootloader takes it whenever it comes.
    QElapsedTimer elapsed;
    elapsed.start();
    if (!upload.Start(nullptr, device, QFile::encodeName(imagePath), &progress, &status, false))
        return fail("the upload did not start");
    QElapsedTimer limit;
    limit.start();
    while (upload.IsBusy() && limit.elapsed() < kLimitMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents); // the upload's timer wakes it
    const double takenSeconds = elapsed.nsecsElapsed() / 1e9;
    upload.Cancel();
    simulator.terminate();
    simulator.waitForFinished(5000);

    if (status.text() != QLatin1String("Updating firmware : Ok"))
        return fail(("the upload ended with \"" + status.text().toStdString() + "\"").c_str());
    QFile kept(keptPath);
    if (!kept.open(QIODevice::ReadOnly) || kept.readAll() != image)
        return fail("the bootloader did not keep the image byte for byte");

    const double wireSeconds = bytesOnTheWire(upload.PageCount, upload.PageSize) * kBitsPerByte / kBaud;
    const double floorSeconds = tickFloorMs(upload.PageCount, upload.PageSize) / 1000;
    std::printf("upload of a %lld-byte image, %d pages of %d bytes, at 115200 baud, from Start\n",
                static_cast<long long>(image.size()), upload.PageCount, upload.PageSize);
    std::printf("  time taken                    %.2f s\n", takenSeconds);
    std::printf("  time on the wire              %.2f s  (taken / wire  %.2f)\n", wireSeconds,
                takenSeconds / wireSeconds);
    std::printf("  floor of the upload's ticks   %.2f s  (taken / floor %.2f)\n", floorSeconds,
                takenSeconds / floorSeconds);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    return run() ? 0 : 1;
}
