#pragma once

#include "platform/Timer.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>

class QLineEdit;
class QProgressBar;
class QWidget;

namespace serdev {
class TSerDev;
}

namespace fwupdate {

// The states of an upload.
enum UploadState : std::uint8_t {
    usIdle = 0,
    usWaitPrompt = 1,
    usConnect = 2,
    usSendHeader = 3,
    usSendAltHeader = 4,
    usPages = 5,
};

// Uploads a firmware image through the adapter's bootloader, on the port the
// main window owns, driven by a timer of its own on the user-interface thread.
// The bootloader leads and the upload answers: once connected and given the
// header, the bootloader names its page size, then asks for pages by number
// and acknowledges each. Every page goes out exactly as it stands in the file.
//
// An upload ends by itself on success or error, or when cancelled; every end
// closes the port with RTS and DTR raised. Besides the short wait for an
// answer to the header, no state has a time limit: the user cancels.
class TFWUpdate {
public:
    static constexpr int kFirstTickMs = 100;
    static constexpr int kTickMs = 10;
    // Quiet ticks after the header packet has left before the alternative header is tried.
    static constexpr std::int32_t kHeaderWaitTicks = 5;
    // Naks without an ack frame between them that end the upload.
    static constexpr std::int32_t kNakLimit = 4;
    static constexpr char kLineSettings[] = "115200,N,8,1";
    // No bootloader takes more: page numbers are 16-bit, and pages at most 1 KiB.
    static constexpr qsizetype kMaxImageBytes = qsizetype{64} << 20;

    TFWUpdate();
    // Ends a running upload as Stop does; the device must outlive it.
    virtual ~TFWUpdate();
    TFWUpdate(const TFWUpdate&) = delete;
    TFWUpdate& operator=(const TFWUpdate&) = delete;

    // Reads the image at `path` and begins the upload on `device`; false when
    // it has not begun (a file message was shown, or the port did not open).
    bool Start(QWidget* owner, serdev::TSerDev& device, const QByteArray& path, QProgressBar* progressBar,
               QLineEdit* statusControl, bool waitForPrompt);
    // Start in two halves, so that the image is checked before anything is
    // sent to the adapter: reads the image at `path` and checks it, showing
    // the file message when it cannot be uploaded ...
    bool LoadImage(QWidget* owner, const QByteArray& path);
    // ... then begins the upload of the image just loaded on `device`; false
    // when the port did not open, or no image was loaded since the last start.
    bool StartLoaded(serdev::TSerDev& device, QProgressBar* progressBar, QLineEdit* statusControl,
                     bool waitForPrompt);
    // Ends a running upload with "Firmware Update canceled..."; nothing otherwise.
    void Cancel();
    bool IsBusy() const { return Busy; }
    // The last upload ended with the bootloader's acknowledgement, so the
    // adapter runs its firmware again; not after an error or Cancel.
    bool EndedWell() const { return endedWell_; }

    static std::uint16_t Checksum(const QByteArray& payload);
    static QByteArray WordToBytes(std::uint16_t value);
    static std::uint16_t BytesToWord(char low, char high);

    QWidget* Owner = nullptr;
    QByteArray FileName;
    bool Busy = false;
    QProgressBar* ProgressBar = nullptr;
    QLineEdit* StatusControl = nullptr;
    bool WaitForPrompt = false;
    QByteArray FileData;
    QByteArray Header;
    QByteArray AltHeader;
    std::int32_t HeaderWaitTicks = 0;
    QByteArray PageData;
    std::unique_ptr<platform::Timer> Timer;
    serdev::TSerDev* Device = nullptr;
    std::uint8_t State = usIdle;
    std::int32_t PageSize = 0;
    std::int32_t PageCount = 0;
    std::int32_t CurrentPage = 0;
    std::int32_t NakCount = 0;
    QByteArray RxBuffer;
    std::int32_t FrameLength = -1;
    QByteArray Reply;

private:
    bool LoadFile();
    void EnterState(std::uint8_t state);
    void TimerTick();
    void ReadPort();
    bool TakeFrame();
    // Acts on the frame in Reply; true while the upload goes on.
    bool HandleReply();
    void SendPacket(const QByteArray& lead, const QByteArray& payload);
    void Stop();

    // HandleReply, by state.
    void answerPrompt();
    void answerConnect();
    void answerHeader();
    void answerPage();
    void acknowledged();
    void rejected();
    void requested();
    // Ends the upload, then shows `status`.
    void end(const QString& status);
    void endWell(const QString& status);
    void showStatus(const QString& status);
    void showFileError(const QString& text);

    // The progress bar's text: none, the silent bootloader's, or the share
    // done and the time left.
    void showProgressText(const QString& format);
    void updateProgressText();
    // Ends the upload with the error of its step when the port has vanished.
    bool endIfPortLost();
    QString stepErrorStatus() const;

    // A timer is never destroyed inside its own tick: one stopped there waits here.
    std::unique_ptr<platform::Timer> retiredTimer_;
    bool ticking_ = false;
    bool imageLoaded_ = false; // by LoadImage, for the next StartLoaded
    bool endedWell_ = false;
    std::int64_t stateEnteredMs_ = 0; // when the upload entered its state
    std::int32_t pagesTaken_ = 0;     // acknowledged since the page requests began
};

} // namespace fwupdate
