#pragma once

#include "CommApi.h"
#include "ListCOM.h"
#include "ListUSB.h"
#include "SerialPortEnumeration.h"
#include "platform/Library.h"
#include "platform/Timer.h"

#include <QByteArray>

#include <memory>

class QWidget;

namespace serdev {

// The program's one serial device: a COM port (a device path such as
// /dev/ttyUSB0) or an FTDI device ("USB:" + serial number), driven through
// the column of the port-operation table that its kind picks. Received bytes
// are moved into RxBuffer by a 10 ms poll, so no call ever waits for data.
// It owns the two port enumeration threads.
class TSerDev {
public:
    static constexpr Dword kInputQueueSize = 4096;
    static constexpr Dword kOutputQueueSize = 14;
    static constexpr int kBusyEnumerationWaitMs = 100;
    static constexpr int kUsbRescanWaitMs = 1500;
    // A write that the port keeps taking no bytes of is given up after this many tries.
    static constexpr int kMaxWritesWithoutProgress = 100;

    explicit TSerDev(QWidget* owner, SerialPortSource comPorts = watchedSystemSerialPorts());
    virtual ~TSerDev();
    TSerDev(const TSerDev&) = delete;
    TSerDev& operator=(const TSerDev&) = delete;

    bool Open();
    bool Close();
    bool Write(const QByteArray& bytes);
    bool Read(QByteArray& bytes, int n);
    Dword InCount();
    Dword OutCount();
    void Purge(bool rx, bool tx);
    void SetRts(bool on);
    void SetDtr(bool on);

    // A port settings text: baud rate, parity letter, data bits, as "115200,N,8".
    void Configure(const QByteArray& settings);
    void BeginConfig();
    void EndConfig();
    Dword SetBaudRate(Dword baud);
    std::uint8_t SetParity(std::uint8_t parity);
    std::uint8_t SetDataBits(int bits);
    Dword GetBaudRate() const { return Dcb.BaudRate; }
    std::uint8_t GetParity() const { return Dcb.Parity; }
    std::uint8_t GetDataBits() const { return Dcb.ByteSize; }
    void GetState();
    void ApplyState();

    // Asks the USB thread for a pass and holds the calling thread until it has run.
    void RescanUsb();
    // Appends the COM ports, then the FTDI devices, to the caller's lists.
    int CollectPorts(QByteArrayList& names, QByteArrayList& descriptions, QByteArrayList& deviceIds);

    // Shows `text` under `caption`; with no text, the error code of the
    // failed call of the port kind in use and its text.
    void ReportError(const QByteArray& caption, const QByteArray& text);

    // The port vanished under the device (the adapter unplugged, the cable
    // pulled) since it was last opened. The device has then closed it and
    // said so once; whoever was using it ends what it was doing.
    bool WasLost() const { return lost_; }

    bool ShowErrors = true;
    Dword LastError = 0;
    QByteArray PortName;
    std::unique_ptr<TListUSB> UsbList;
    std::unique_ptr<TListCOM> ComList;
    bool ConfigDeferred = false;
    Dword InAvail = 0;
    Dword OutPending = 0;
    Dword DriverInQueue = 0;
    QWidget* Owner = nullptr;
    bool IsOpen = false;
    std::int32_t Kind = kKindCom;
    DCB Dcb;
    int PollInterval = 10;
    std::unique_ptr<platform::Timer> PollTimer;
    QByteArray RxBuffer;
    PortHandle Handle = invalidHandle();
    std::unique_ptr<platform::Library> D2xxLibrary;
    // The port operations: column 0 for COM ports, column 1 for D2XX devices.
    CommApiColumn CommApi[2];

private:
    void Poll();
    void RefreshStatus();
    bool ReadChunk(QByteArray& bytes, Dword n);
    void BindD2xx();
    // After a failed call: when the error says the port is gone, closes it,
    // reports that once under `caption` and returns true.
    bool noteLostPort(const QByteArray& caption);
    void reportCode(const QByteArray& caption, Dword code);
    template <CommOp Op> typename CommOpSignature<Op>::type op() const { return CommApi[Kind].get<Op>(); }

    platform::Clock& clock_;
    bool lost_ = false;
    bool polling_ = false;
    // A poll timer is never destroyed inside its own tick: one closed there waits here.
    std::unique_ptr<platform::Timer> retiredPollTimer_;
};

// Whether a device error code says that the port itself is gone, rather than
// that one call failed.
bool isLostPortError(std::int32_t kind, Dword code);

// The text of a device error code: the D2XX status text for an FTDI device,
// the system's text otherwise, with what to do about it where Linux users
// commonly meet it.
QString deviceErrorText(std::int32_t kind, Dword code);

} // namespace serdev
