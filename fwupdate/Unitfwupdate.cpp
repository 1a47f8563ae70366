#include "Unitfwupdate.h"

#include "BootloaderFrames.h"
#include "FirmwareImage.h"
#include "ProgressText.h"
#include "platform/MessageBox.h"
#include "platform/WholeFile.h"
#include "serdev/SerDev.h"

#include <QFile>
#include <QLineEdit>
#include <QProgressBar>

#include <utility>

namespace fwupdate {

namespace {

// The whole title of the file messages, not composed with the application's.
const QString kFileMessageTitle = QStringLiteral("Open Firware file...");

} // namespace

TFWUpdate::TFWUpdate() = default;

TFWUpdate::~TFWUpdate()
{
    // A program that ends during an upload leaves the port as every end does.
    if (Busy)
        Stop();
}

bool TFWUpdate::Start(QWidget* owner, serdev::TSerDev& device, const QByteArray& path, QProgressBar* progressBar,
                      QLineEdit* statusControl, bool waitForPrompt)
{
    return LoadImage(owner, path) && StartLoaded(device, progressBar, statusControl, waitForPrompt);
}

bool TFWUpdate::LoadImage(QWidget* owner, const QByteArray& path)
{
    Owner = owner;
    FileName = path;
    imageLoaded_ = LoadFile(); // LoadFile says why not
    if (!imageLoaded_)
        return false;
    Header = primaryHeader(FileData);
    PageData = primaryPageData(FileData);
    return true;
}

bool TFWUpdate::StartLoaded(serdev::TSerDev& device, QProgressBar* progressBar, QLineEdit* statusControl,
                            bool waitForPrompt)
{
    if (!std::exchange(imageLoaded_, false))
        return false;
    Device = &device;
    Device->Open();
    Device->Configure(kLineSettings);
    if (!Device->IsOpen)
        return false; // the device has said why

    WaitForPrompt = waitForPrompt;
    Busy = true;
    endedWell_ = false;
    retiredTimer_.reset();
    Timer = std::make_unique<platform::Timer>([this] { TimerTick(); });
    ProgressBar = progressBar;
    StatusControl = statusControl;
    EnterState(WaitForPrompt ? usWaitPrompt : usConnect);
    FrameLength = -1;
    Timer->setInterval(kFirstTickMs);
    return true;
}

bool TFWUpdate::LoadFile()
{
    const QString name = QFile::decodeName(FileName);
    platform::WholeFile file = platform::readWholeFile(name, kMaxImageBytes);
    switch (file.result) {
    case platform::FileRead::Unreadable:
        showFileError(platform::withSystemText(QStringLiteral("File \"") + name + QStringLiteral("\" is not found."),
                                     file.systemText));
        return false;
    case platform::FileRead::TooLarge:
        showFileError(QStringLiteral("Error! Firmware file \"") + name + QStringLiteral("\" is too large."));
        return false;
    case platform::FileRead::Read:
        break;
    }
    FileData = std::move(file.data);
    if (FileData.size() < kHeaderSize) {
        showFileError(QStringLiteral("Error! Firmware file \"") + name + QStringLiteral("\" is short."));
        return false;
    }
    return true;
}

void TFWUpdate::showFileError(const QString& text)
{
    platform::showMessageBox(Owner, kFileMessageTitle, text, platform::kBoxIconError);
}

void TFWUpdate::EnterState(std::uint8_t state)
{
    State = state;
    stateEnteredMs_ = platform::clock().nowMs();
    pagesTaken_ = 0;
    showProgressText({});
    switch (state) {
    case usIdle:
        showStatus(QString());
        Stop();
        break;
    case usWaitPrompt:
        showStatus(QStringLiteral("Waiting Connection..."));
        break;
    case usConnect:
        showStatus(QStringLiteral("Connecting..."));
        RxBuffer.clear();
        SendPacket(QByteArray(1, kConnectByte), {});
        break;
    case usSendHeader:
        showStatus(QStringLiteral("Send Header..."));
        HeaderWaitTicks = kHeaderWaitTicks;
        SendPacket(QByteArray(1, kHeaderLead), Header);
        break;
    case usSendAltHeader:
        // The status still reads "Send Header...": to the user it is the same step.
        AltHeader = alternativeHeaderBlock(FileData);
        PageData = alternativePageData(FileData);
        Device->Write(AltHeader);
        break;
    case usPages:
        showStatus(QStringLiteral("Wait for page request..."));
        break;
    default:
        break;
    }
}

void TFWUpdate::TimerTick()
{
    Timer->setInterval(0);
    ticking_ = true;
    if (!Device->IsOpen) {
        // Closed by someone else it stays busy, without ticks, until cancelled.
        endIfPortLost();
        ticking_ = false;
        return;
    }
    ReadPort();
    bool goOn = true;
    if (TakeFrame()) {
        do
            goOn = HandleReply();
        while (goOn && TakeFrame());
    } else if (State == usSendHeader && Device->OutCount() == 0 && --HeaderWaitTicks == 0) {
        EnterState(usSendAltHeader);
    }
    if (goOn && endIfPortLost())
        goOn = false;
    if (goOn)
        updateProgressText();
    ticking_ = false;
    if (goOn && Timer)
        Timer->setInterval(kTickMs);
}

void TFWUpdate::updateProgressText()
{
    const std::int64_t inState = platform::clock().nowMs() - stateEnteredMs_;
    if (State == usWaitPrompt && inState >= kSilentBootloaderMs)
        showProgressText(silentBootloaderText());
    else if (State == usPages)
        showProgressText(pageProgressText(pagesTaken_, PageCount, inState));
}

void TFWUpdate::showProgressText(const QString& format)
{
    if (ProgressBar == nullptr)
        return;
    ProgressBar->setFormat(format.isEmpty() ? QStringLiteral("%p%") : format);
    ProgressBar->setTextVisible(!format.isEmpty());
}

bool TFWUpdate::endIfPortLost()
{
    if (!Device->WasLost() || Device->IsOpen)
        return false;
    end(stepErrorStatus()); // the device has shown why
    return true;
}

void TFWUpdate::ReadPort()
{
    const auto count = static_cast<int>(Device->InCount());
    if (count <= 0)
        return;
    QByteArray bytes;
    Device->Read(bytes, count);
    RxBuffer += bytes;
}

bool TFWUpdate::TakeFrame()
{
    return takeFrame(RxBuffer, FrameLength, Reply);
}

void TFWUpdate::SendPacket(const QByteArray& lead, const QByteArray& payload)
{
    // One write: a page never leaves in parts that another write could come between.
    Device->Write(packet(lead, payload));
}

std::uint16_t TFWUpdate::Checksum(const QByteArray& payload)
{
    return checksum(payload);
}

QByteArray TFWUpdate::WordToBytes(std::uint16_t value)
{
    return wordToBytes(value);
}

std::uint16_t TFWUpdate::BytesToWord(char low, char high)
{
    return bytesToWord(low, high);
}

void TFWUpdate::Stop()
{
    if (Timer)
        Timer->setInterval(0);
    showProgressText({});
    Device->BeginConfig();
    Device->SetRts(true);
    Device->SetDtr(true);
    Device->EndConfig();
    Device->Close();
    if (ticking_)
        retiredTimer_ = std::move(Timer);
    else
        Timer.reset();
    Busy = false;
}

void TFWUpdate::Cancel()
{
    if (!Busy)
        return;
    showStatus(QStringLiteral("Firmware Update canceled..."));
    Stop();
}

void TFWUpdate::showStatus(const QString& status)
{
    if (StatusControl != nullptr)
        StatusControl->setText(status);
}

} // namespace fwupdate
