// velmora-upload-bench: how long a whole upload of a 64 KiB image takes
// through a pseudo-terminal, against the simulated bootloader taking in the
// bytes at the real pace of 115200 baud, compared with the time the bytes
// alone need on the wire.

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

#include <cstdio>

namespace {

constexpr qsizetype kPageDataBytes = 64 * 1024;
constexpr double kBitsPerByte = 10; // start bit, eight data bits, stop bit
constexpr double kBaud = 115200;
constexpr int kLimitMs = 120000;

// Every byte of the upload on the wire, both ways, from the connect byte to
// the end's acknowledgement: the exchange is lock-step, so they add up.
qsizetype bytesOnTheWire(std::int32_t pageCount, std::int32_t pageSize)
{
    const qsizetype host = 1 + 3 + fwupdate::kHeaderSize + qsizetype{pageCount} * (5 + pageSize) + 3;
    const qsizetype bootloader = 2 + 4 + qsizetype{pageCount} * (3 + 4) + 3 + 4;
    return host + bootloader;
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
    // Timed from the bootloader's prompt, so that when it came does not count.
    QElapsedTimer elapsed;
    QObject::connect(&status, &QLineEdit::textChanged, [&](const QString& text) {
        if (text == QLatin1String("Connecting..."))
            elapsed.start();
    });
    if (!upload.Start(nullptr, device, QFile::encodeName(imagePath), &progress, &status, true))
        return fail("the upload did not start");
    QElapsedTimer limit;
    limit.start();
    while (upload.IsBusy() && limit.elapsed() < kLimitMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents); // the upload's timer wakes it
    const double takenSeconds = elapsed.isValid() ? elapsed.nsecsElapsed() / 1e9 : 0;
    upload.Cancel();
    simulator.terminate();
    simulator.waitForFinished(5000);

    if (status.text() != QLatin1String("Updating firmware : Ok"))
        return fail(("the upload ended with \"" + status.text().toStdString() + "\"").c_str());
    QFile kept(keptPath);
    if (!kept.open(QIODevice::ReadOnly) || kept.readAll() != image)
        return fail("the bootloader did not keep the image byte for byte");

    const double wireSeconds = bytesOnTheWire(upload.PageCount, upload.PageSize) * kBitsPerByte / kBaud;
    std::printf("upload of a %lld-byte image, %d pages of %d bytes, at 115200 baud\n",
                static_cast<long long>(image.size()), upload.PageCount, upload.PageSize);
    std::printf("  time taken        %.2f s\n", takenSeconds);
    std::printf("  time on the wire  %.2f s\n", wireSeconds);
    std::printf("  ratio             %.2f\n", takenSeconds / wireSeconds);
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
