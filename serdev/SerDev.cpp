#include "SerDev.h"

#include "ComPort.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace serdev {

namespace {

QByteArray openCaption(const QByteArray& portName) { return "Open Port(" + portName + ") Error..."; }
QByteArray writeCaption(const QByteArray& portName) { return "Write Port(" + portName + ") Error..."; }
QByteArray readCaption(const QByteArray& portName) { return "Read Port(" + portName + ") Error..."; }

std::uint8_t parityOfLetter(char letter)
{
    switch (letter) {
    case 'E': return kEvenParity;
    case 'M': return kMarkParity;
    case 'O': return kOddParity;
    case 'S': return kSpaceParity;
    default: return kNoParity;
    }
}

} // namespace

TSerDev::TSerDev(QWidget* owner, SerialPortSource comPorts)
    : Owner(owner)
    , clock_(platform::clock())
{
    Dcb.DCBlength = sizeof(DCB);
    CommApi[kKindCom] = comPortColumn();
    ComList = std::make_unique<TListCOM>(std::move(comPorts));
    UsbList = std::make_unique<TListUSB>();
    ComList->SetUsb(UsbList.get());
}

TSerDev::~TSerDev()
{
    Close();
    UsbList->Terminate();
    ComList->Terminate();
    ComList.reset(); // joins; it holds a reference to UsbList until then
    UsbList.reset();
}

bool TSerDev::Open()
{
    if (IsOpen)
        Close();

    QByteArray deviceName;
    Dword flags = 0;
    if (PortName.startsWith('/')) {
        Kind = kKindCom;
        deviceName = PortName;
        flags = kFileFlagNoBuffering | kFileAttributeNormal;
    } else if (PortName.startsWith("USB")) {
        if (!D2xxLibrary)
            BindD2xx();
        if (!D2xxLibrary) {
            ReportError(openCaption(PortName), "Reinstall drivers, please.");
            IsOpen = false;
            return false;
        }
        Kind = kKindUsb;
        deviceName = PortName.mid(4, 8);
        flags = kFileAttributeNormal | kFtOpenBySerialNumber;
    } else {
        Kind = kKindUnknown;
        IsOpen = false;
        ReportError(openCaption(PortName), "Error: Can not to open unknown device.");
        return false;
    }

    if (UsbList->Busy)
        clock_.sleepFor(kBusyEnumerationWaitMs);

    Handle = op<CommOp::CreateFile>()(deviceName.constData(), kGenericReadWrite, 0, nullptr,
                                      kOpenExisting, flags, nullptr);
    IsOpen = Handle != invalidHandle();
    lost_ = false;
    if (!IsOpen) {
        ReportError(openCaption(PortName), {});
        return false;
    }

    UsbList->Hold();
    GetState();
    op<CommOp::SetupComm>()(Handle, kInputQueueSize, kOutputQueueSize);
    Purge(true, true);
    retiredPollTimer_.reset();
    PollTimer = std::make_unique<platform::Timer>([this] { Poll(); }, clock_);
    PollTimer->setInterval(PollInterval);
    return true;
}

void TSerDev::BindD2xx()
{
    std::unique_ptr<platform::Library> library = loadD2xxLibrary();
    if (!library)
        return;

    CommApiColumn column;
    for (std::size_t i = 0; i < kCommOpCount; ++i) {
        const std::string entryName = std::string("FT_W32_") + CommApiNames[i];
        void* entry = library->entryPoint(entryName.c_str());
        if (entry == nullptr)
            return; // the library is released; the next USB open tries again
        column.setEntry(i, entry);
    }
    CommApi[kKindUsb] = column;
    D2xxLibrary = std::move(library);
}

bool TSerDev::Close()
{
    if (IsOpen) {
        PollTimer->setInterval(0);
        if (polling_)
            retiredPollTimer_ = std::move(PollTimer);
        else
            PollTimer.reset();
        RxBuffer.clear();
        if (auto close = op<CommOp::CloseHandle>())
            close(Handle);
        UsbList->RequestScan();
        IsOpen = false;
    }
    ConfigDeferred = false;
    return true;
}

bool TSerDev::Write(const QByteArray& bytes)
{
    QByteArray rest = bytes;
    if (!IsOpen)
        return rest.isEmpty();

    bool failed = false;
    int writesWithoutProgress = 0;
    while (!rest.isEmpty()) {
        Dword written = 0;
        if (op<CommOp::WriteFile>()(Handle, rest.constData(), static_cast<Dword>(rest.size()), &written,
                                    nullptr) == 0) {
            if (noteLostPort(writeCaption(PortName)))
                return false;
            failed = true;
            break;
        }
        written = std::min<Dword>(written, static_cast<Dword>(rest.size()));
        if (written == 0 && ++writesWithoutProgress >= kMaxWritesWithoutProgress)
            break;
        if (written > 0)
            writesWithoutProgress = 0;
        rest.remove(0, written);
    }
    if (failed)
        ReportError(writeCaption(PortName), {});
    else if (!rest.isEmpty())
        ReportError(writeCaption(PortName),
                    "The port took none of the data, so the write was given up.\n"
                    "Check the cable and that the adapter is powered.");
    return rest.isEmpty();
}

void TSerDev::RefreshStatus()
{
    if (!IsOpen) {
        InAvail = 0;
        OutPending = 0;
        return;
    }
    const int interval = PollTimer->interval();
    PollTimer->setInterval(0);
    Dword errors = 0;
    COMSTAT status;
    if (op<CommOp::ClearCommError>()(Handle, &errors, &status) == 0 && noteLostPort(readCaption(PortName))) {
        InAvail = static_cast<Dword>(RxBuffer.size());
        OutPending = 0;
        DriverInQueue = 0;
        return;
    }
    DriverInQueue = status.cbInQue;
    InAvail = status.cbInQue + static_cast<Dword>(RxBuffer.size());
    OutPending = status.cbOutQue;
    if (interval != 0)
        PollTimer->setInterval(PollInterval);
}

bool TSerDev::ReadChunk(QByteArray& bytes, Dword n)
{
    bytes.resize(static_cast<qsizetype>(n));
    Dword read = 0;
    const bool ok = op<CommOp::ReadFile>()(Handle, bytes.data(), n, &read, nullptr) != 0;
    bytes.resize(static_cast<qsizetype>(std::min(read, n)));
    if (!ok)
        noteLostPort(readCaption(PortName));
    return ok;
}

bool TSerDev::noteLostPort(const QByteArray& caption)
{
    const Dword code = CommApi[Kind == kKindUsb ? kKindUsb : kKindCom].get<CommOp::GetLastError>()(Handle);
    if (!isLostPortError(Kind, code))
        return false;
    // Closed before the box is shown: the box's own event loop may run the
    // ticks of whoever uses the port, and they must find it closed.
    lost_ = true;
    Close();
    reportCode(caption, code);
    return true;
}

void TSerDev::Poll()
{
    if (!IsOpen)
        return;
    PollTimer->setInterval(0);
    polling_ = true;
    RefreshStatus();
    if (IsOpen && DriverInQueue != 0) {
        QByteArray chunk;
        ReadChunk(chunk, DriverInQueue);
        if (IsOpen)
            RxBuffer += chunk;
    }
    polling_ = false;
    if (IsOpen)
        PollTimer->setInterval(PollInterval);
}

bool TSerDev::Read(QByteArray& bytes, int n)
{
    if (!IsOpen)
        return true;
    Poll();
    if (!IsOpen)
        return true; // the port vanished; what it had received is gone with it
    PollTimer->setInterval(0);
    const qsizetype taken = std::min<qsizetype>(std::max(n, 0), RxBuffer.size());
    bytes = RxBuffer.left(taken);
    RxBuffer.remove(0, taken);
    PollTimer->setInterval(PollInterval);
    return true;
}

Dword TSerDev::InCount()
{
    RefreshStatus();
    return InAvail;
}

Dword TSerDev::OutCount()
{
    RefreshStatus();
    return OutPending;
}

void TSerDev::Purge(bool rx, bool tx)
{
    Dword flags = 0;
    if (rx) {
        InAvail = 0;
        flags |= kPurgeRxClear;
    }
    if (tx) {
        OutPending = 0;
        flags |= kPurgeTxClear;
    }
    if (IsOpen)
        op<CommOp::PurgeComm>()(Handle, flags);
}

void TSerDev::SetRts(bool on)
{
    if (!IsOpen)
        return;
    if (!ConfigDeferred)
        op<CommOp::EscapeCommFunction>()(Handle, on ? kSetRts : kClrRts);
    Dcb.fRtsControl = on ? kLineControlEnable : kLineControlDisable;
}

void TSerDev::SetDtr(bool on)
{
    if (!IsOpen)
        return;
    if (!ConfigDeferred)
        op<CommOp::EscapeCommFunction>()(Handle, on ? kSetDtr : kClrDtr);
    Dcb.fDtrControl = on ? kLineControlEnable : kLineControlDisable;
}

void TSerDev::GetState()
{
    if (IsOpen)
        op<CommOp::GetCommState>()(Handle, &Dcb);
}

void TSerDev::ApplyState()
{
    if (!IsOpen)
        return;
    Dcb.fParity = Dcb.Parity != kNoParity ? 1 : 0;
    op<CommOp::SetCommState>()(Handle, &Dcb);
}

Dword TSerDev::SetBaudRate(Dword baud)
{
    Dcb.BaudRate = baud;
    if (!ConfigDeferred)
        ApplyState();
    return Dcb.BaudRate;
}

std::uint8_t TSerDev::SetParity(std::uint8_t parity)
{
    Dcb.Parity = parity;
    if (!ConfigDeferred)
        ApplyState();
    return Dcb.Parity;
}

std::uint8_t TSerDev::SetDataBits(int bits)
{
    Dcb.ByteSize = static_cast<std::uint8_t>(bits & 0xFF);
    if (!ConfigDeferred)
        ApplyState();
    return Dcb.ByteSize;
}

void TSerDev::BeginConfig()
{
    ConfigDeferred = true;
}

void TSerDev::EndConfig()
{
    if (ConfigDeferred)
        ApplyState();
    ConfigDeferred = false;
}

void TSerDev::Configure(const QByteArray& settings)
{
    BeginConfig();
    // A field the text does not hold keeps the line's current value.
    long baud = static_cast<long>(Dcb.BaudRate);
    char parity = '\0';
    int bits = Dcb.ByteSize;
    const int fields = std::sscanf(settings.constData(), "%ld,%c,%d", &baud, &parity, &bits);
    if (fields >= 1)
        SetBaudRate(static_cast<Dword>(baud));
    if (fields >= 2)
        SetParity(parityOfLetter(parity));
    if (fields >= 3)
        SetDataBits(bits);
    EndConfig();
}

void TSerDev::RescanUsb()
{
    UsbList->RequestScan();
    clock_.sleepFor(kUsbRescanWaitMs);
    UsbList->Hold();
}

int TSerDev::CollectPorts(QByteArrayList& names, QByteArrayList& descriptions, QByteArrayList& deviceIds)
{
    const int com = ComList->CopyLists(names, descriptions, deviceIds);
    return com + UsbList->CopyLists(names, descriptions, deviceIds);
}

} // namespace serdev
