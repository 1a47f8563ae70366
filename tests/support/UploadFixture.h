#pragma once

#include "DeviceFixture.h"
#include "fwupdate/FirmwareImage.h"
#include "fwupdate/Unitfwupdate.h"
#include "sim/SampleFiles.h"

#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QWidget>

#include <memory>

// An upload on the manual clock through an FTDI device of the D2XX test
// library, with its own progress bar and status line. Behind the device is
// either the simulated adapter in its bootloader or nothing, in which case
// the test plays the bootloader by hand with `answer`.
class UploadFixture : public DeviceFixture {
protected:
    static constexpr char kSerial[] = "VM4A7C21";

    UploadFixture()
    {
        simd2xx::addDevice(kSerial, "Velmora VT-2");
        device = makeDevice();
        device->PortName = QByteArray("USB:") + kSerial;
        progress.setRange(0, 100);
        QObject::connect(&status, &QLineEdit::textChanged, [this](const QString& text) { statuses << text; });
    }
    ~UploadFixture() override
    {
        upload.reset();
        device.reset();
        clock.settle();
    }

    // The simulated adapter, sitting in its bootloader.
    void attachBootloader(const sim::BootloaderProfile& bootloader = {})
    {
        sim::AdapterProfile profile = sim::standardProfile();
        profile.startsInBootloader = true;
        profile.bootloader = bootloader;
        simd2xx::attachAdapter(kSerial, profile);
    }

    QString writeFile(const QByteArray& bytes, const QString& name = QStringLiteral("image.rfw"))
    {
        const QString path = files.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return path;
    }

    bool start(const QString& path, bool waitForPrompt)
    {
        return upload->Start(&owner, *device, QFile::encodeName(path), &progress, &status, waitForPrompt);
    }
    // Runs the upload until it ends (ten minutes of its time at most).
    void runToEnd()
    {
        for (int waited = 0; upload->IsBusy() && waited < 600000; waited += 10)
            clock.advance(10);
    }
    // Plays the bootloader: `bytes` arrive, and the upload has two ticks to take them in.
    void answer(const QByteArray& bytes)
    {
        simd2xx::receive(kSerial, bytes.toStdString());
        clock.advance(20);
    }
    // A whole upload of `image` to the simulated bootloader; what it took in.
    std::optional<sim::ReceivedUpload> uploadTo(const sim::BootloaderProfile& bootloader, const QByteArray& image,
                                                bool waitForPrompt)
    {
        attachBootloader(bootloader);
        EXPECT_TRUE(start(writeFile(image), waitForPrompt));
        runToEnd();
        EXPECT_EQ(status.text(), "Updating firmware : Ok");
        return received();
    }
    QByteArray written() { return QByteArray::fromStdString(simd2xx::written(kSerial)); }
    std::optional<sim::ReceivedUpload> received() { return simd2xx::adapterUpload(kSerial); }

    QWidget owner;
    QProgressBar progress;
    QLineEdit status;
    QStringList statuses; // every text the status line showed, in order
    QTemporaryDir files;
    std::unique_ptr<serdev::TSerDev> device;
    std::unique_ptr<fwupdate::TFWUpdate> upload = std::make_unique<fwupdate::TFWUpdate>();
};

// The page data a whole upload of `image` in a layout hands over: its whole pages.
inline QByteArray wholePages(const QByteArray& pageData, int pageSize)
{
    return pageData.left(fwupdate::pageCount(pageData, pageSize) * qsizetype{pageSize});
}
