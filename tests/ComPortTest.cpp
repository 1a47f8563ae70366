#include "support/DeviceFixture.h"
#include "support/PseudoTerminal.h"

#include "serdev/ComPort.h"
#include "serdev/ComLineState.h"
#include "serdev/KernelTermios.h"

#include <QProcess>

#include <termios.h>

#include <functional>

using serdev::TSerDev;

namespace {

class ComPort : public DeviceFixture {
protected:
    std::unique_ptr<TSerDev> openDevice()
    {
        auto device = makeDevice();
        device->PortName = pty.path();
        EXPECT_TRUE(device->Open());
        return device;
    }

    // The line as the far end of the pseudo-terminal sees it.
    termios farLine() const
    {
        termios line{};
        tcgetattr(pty.master(), &line);
        return line;
    }
    std::uint32_t farBaud() const
    {
        serdev::KernelLine line;
        serdev::readKernelLine(pty.master(), line);
        return line.baud;
    }

    PseudoTerminal pty;
};

struct RateCase {
    const char* settings;
    std::uint32_t baud;
};

void PrintTo(const RateCase& c, std::ostream* out) { *out << '"' << c.settings << '"'; }

class ComPortRate : public ComPort, public ::testing::WithParamInterface<RateCase> {};

} // namespace

// A pseudo-terminal keeps the rate but drops parity and data bits (it is
// always 8 bits without parity), so those are pinned on the translation below.
TEST_P(ComPortRate, FarEndSeesTheRateWhateverTheParity)
{
    auto device = openDevice();
    device->Configure(GetParam().settings);
    EXPECT_EQ(farBaud(), GetParam().baud);
}

INSTANTIATE_TEST_SUITE_P(Settings, ComPortRate, ::testing::Values(
    RateCase{"115200,N,8,1", 115200}, RateCase{"125000,N,8", 125000}, RateCase{"38400,N,8", 38400},
    RateCase{"19200,N,8", 19200}, RateCase{"9600,E,7", 9600}, RateCase{"19200,M,8", 19200}));

struct DcbCase {
    std::uint8_t parity;
    std::uint8_t byteSize;
    tcflag_t parityFlags;
    tcflag_t size;
};

void PrintTo(const DcbCase& c, std::ostream* out)
{
    *out << "parity " << int(c.parity) << ", " << int(c.byteSize) << " bits";
}

class ComLineTranslation : public ::testing::TestWithParam<DcbCase> {};

TEST_P(ComLineTranslation, ParityAndDataBitsMapOntoTheTerminalAndBack)
{
    serdev::DCB dcb{};
    dcb.BaudRate = 9600;
    dcb.Parity = GetParam().parity;
    dcb.ByteSize = GetParam().byteSize;
    serdev::KernelLine line;
    line.cflag = CS8 | PARENB | PARODD | CMSPAR | HUPCL;
    line.iflag = ICRNL | IXANY;
    line.lflag = ECHO | ICANON | ISIG;
    line.oflag = OPOST;

    ASSERT_TRUE(serdev::applyDcb(dcb, line));
    EXPECT_EQ(line.cflag & (PARENB | PARODD | CMSPAR), GetParam().parityFlags);
    EXPECT_EQ(line.cflag & CSIZE, GetParam().size);
    EXPECT_EQ(line.cflag & (CLOCAL | CREAD | HUPCL), tcflag_t(CLOCAL | CREAD | HUPCL));
    EXPECT_EQ(line.iflag & (ICRNL | IXANY), 0u);
    EXPECT_EQ(line.lflag & (ECHO | ICANON | ISIG), 0u);
    EXPECT_EQ(line.oflag & OPOST, 0u);
    EXPECT_EQ(line.baud, 9600u);

    serdev::DCB back{};
    serdev::readDcb(line, true, false, back);
    EXPECT_EQ(back.Parity, GetParam().parity);
    EXPECT_EQ(back.fParity, GetParam().parity != 0 ? 1u : 0u);
    EXPECT_EQ(back.ByteSize, GetParam().byteSize);
    EXPECT_EQ(back.fRtsControl, 1u);
    EXPECT_EQ(back.fDtrControl, 0u);
}

INSTANTIATE_TEST_SUITE_P(Lines, ComLineTranslation, ::testing::Values(
    DcbCase{serdev::kNoParity, 8, 0, CS8},
    DcbCase{serdev::kOddParity, 8, PARENB | PARODD, CS8},
    DcbCase{serdev::kEvenParity, 7, PARENB, CS7},
    DcbCase{serdev::kMarkParity, 6, PARENB | PARODD | CMSPAR, CS6},
    DcbCase{serdev::kSpaceParity, 5, PARENB | CMSPAR, CS5}));

TEST(ComLineTranslationLimits, ValuesNoTerminalTakesAreRefusedAndChangeNothing)
{
    for (auto [parity, bits] : {std::pair<std::uint8_t, std::uint8_t>{5, 8}, {0, 4}, {0, 9}}) {
        serdev::DCB dcb{};
        dcb.Parity = parity;
        dcb.ByteSize = bits;
        serdev::KernelLine line;
        line.cflag = CS8 | ICANON;
        EXPECT_FALSE(serdev::applyDcb(dcb, line));
        EXPECT_EQ(line.cflag, tcflag_t(CS8 | ICANON));
    }
}

TEST_F(ComPort, StopBitsStayAsTheyWereAtOpenAndFlowControlLeftByAnotherProgramIsOff)
{
    termios line = farLine();
    line.c_cflag |= CSTOPB | CRTSCTS;
    line.c_iflag |= IXON | IXOFF | IXANY;
    tcsetattr(pty.master(), TCSANOW, &line);

    auto device = openDevice();
    EXPECT_EQ(device->Dcb.fOutX, 0u);
    EXPECT_EQ(device->Dcb.fInX, 0u);
    EXPECT_EQ(device->Dcb.fOutxCtsFlow, 0u);
    device->Configure("9600,N,8");
    EXPECT_EQ(farLine().c_cflag & (CSTOPB | CRTSCTS), tcflag_t(CSTOPB));
    EXPECT_EQ(farLine().c_iflag & (IXON | IXOFF | IXANY), 0u);
}

// A new terminal has echo, canonical input and XON/XOFF on; every byte must
// still pass unchanged both ways from the moment the port is open.
TEST_F(ComPort, EveryByteCrossesALineLeftAtTheKernelDefaultsUnchanged)
{
    ASSERT_TRUE(farLine().c_iflag & IXON);
    ASSERT_TRUE(farLine().c_lflag & ICANON);
    QByteArray everyByte;
    for (int byte = 0; byte < 256; ++byte)
        everyByte += static_cast<char>(byte);
    const QByteArray controlBytes = QByteArray("\x11\x13\r\n\x00\xff\x03\x04\x1a\x7f\n\r", 12) + everyByte;

    auto device = openDevice();
    for (const char* settings : {"", "115200,N,8"}) {
        SCOPED_TRACE(settings);
        if (*settings != '\0')
            device->Configure(settings);
        ASSERT_TRUE(device->Write(controlBytes));
        EXPECT_EQ(pty.receive(controlBytes.size()), controlBytes);

        pty.send(controlBytes);
        QByteArray bytes;
        device->Read(bytes, 1000);
        EXPECT_EQ(bytes, controlBytes);
    }
    EXPECT_EQ(pty.receive(1, 100), QByteArray()); // nothing echoed
}

TEST_F(ComPort, ReceivedBytesCollectInTheBufferAndAreTakenOldestFirst)
{
    auto device = openDevice();
    pty.send("abcde");
    clock.advance(device->PollInterval); // one poll moves them into the buffer
    EXPECT_EQ(device->RxBuffer, "abcde");

    pty.send("fgh");
    EXPECT_EQ(device->InCount(), 8u);

    QByteArray bytes;
    EXPECT_TRUE(device->Read(bytes, 6));
    EXPECT_EQ(bytes, "abcdef");
    EXPECT_EQ(device->RxBuffer, "gh");
}

TEST_F(ComPort, PurgeOfInputClearsTheDriverQueueButKeepsTheBuffer)
{
    auto device = openDevice();
    pty.send("kept");
    clock.advance(device->PollInterval);
    pty.send("dropped");

    device->Purge(true, false);
    EXPECT_EQ(device->InCount(), 4u);
    QByteArray bytes;
    device->Read(bytes, 100);
    EXPECT_EQ(bytes, "kept");
}

TEST_F(ComPort, SecondOpenOfAHeldPortFailsWithBusy)
{
    auto holder = openDevice();
    auto second = makeDevice();
    second->PortName = pty.path();

    EXPECT_FALSE(second->Open());
    EXPECT_FALSE(second->IsOpen);
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes.last().call.title, "Open Port(" + pty.path() + ") Error...");
    EXPECT_TRUE(boxes.last().call.text.startsWith("Device or resource busy\n"));
    EXPECT_EQ(second->LastError, static_cast<serdev::Dword>(EBUSY));

    holder->Close();
    EXPECT_TRUE(second->Open());
}

TEST_F(ComPort, APortThatAnotherProgramHoldsWithoutALockIsRefusedAndTheProgramNamed)
{
    // A program with the port open and no lock, as a terminal or a script has it.
    QProcess holder;
    holder.setStandardInputFile(QString::fromUtf8(pty.path()));
    holder.start("sleep", {"60"});
    ASSERT_TRUE(holder.waitForStarted());

    auto device = makeDevice();
    device->PortName = pty.path();
    EXPECT_FALSE(device->Open());
    EXPECT_EQ(device->LastError, static_cast<serdev::Dword>(EBUSY));
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes.last().call.title, "Open Port(" + pty.path() + ") Error...");
    EXPECT_EQ(boxes.last().call.text,
              QString("Device or resource busy\nAnother program holds this port: sleep (process %1). "
                      "Close it, then try again.")
                  .arg(holder.processId()));
    EXPECT_NE(farLine().c_lflag & ICANON, 0u); // the line was never made raw: the port was not touched
    EXPECT_TRUE(pty.receive(1, 50).isEmpty());

    holder.kill();
    holder.waitForFinished();
    EXPECT_TRUE(device->Open());
}

TEST_F(ComPort, PathsThatAreNoPortFailToOpenWithTheSystemText)
{
    for (const auto& [path, text] : std::vector<std::pair<QByteArray, QString>>{
             {"/dev/no-such-port", "No such file or directory"},
             {"/dev/null", "Inappropriate ioctl for device\nThis is not a serial port: choose another port."}}) {
        boxes.clear();
        auto device = makeDevice();
        device->PortName = path;
        EXPECT_FALSE(device->Open());
        EXPECT_FALSE(device->IsOpen);
        ASSERT_EQ(boxes.count(), 1u);
        EXPECT_EQ(boxes.last().call.title, "Open Port(" + path + ") Error...");
        EXPECT_EQ(boxes.last().call.text, text);
        EXPECT_EQ(boxes.last().call.flags, platform::kBoxOk | platform::kBoxIconInformation);
    }
}

// Whichever call meets the vanished port (a write, a status query, the poll),
// the device closes it and says so once; nothing keeps failing after that.
TEST_F(ComPort, AVanishedPortIsClosedAndReportedOnceWhicheverCallFindsItGone)
{
    struct Case {
        const char* call;
        std::function<void(TSerDev&)> meet;
        QByteArray caption;
    };
    const std::vector<Case> cases = {
        {"write", [](TSerDev& device) { EXPECT_FALSE(device.Write("I")); }, "Write Port(%1) Error..."},
        {"status query", [](TSerDev& device) { EXPECT_EQ(device.InCount(), 0u); }, "Read Port(%1) Error..."},
        {"poll", [this](TSerDev& device) { clock.advance(device.PollInterval); }, "Read Port(%1) Error..."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.call);
        boxes.clear();
        PseudoTerminal line;
        auto device = makeDevice();
        device->PortName = line.path();
        ASSERT_TRUE(device->Open());
        line.send("early");
        clock.advance(device->PollInterval);
        line.closeMaster();

        c.meet(*device);
        EXPECT_FALSE(device->IsOpen);
        EXPECT_TRUE(device->WasLost());
        EXPECT_TRUE(device->RxBuffer.isEmpty());
        ASSERT_EQ(boxes.count(), 1u);
        EXPECT_EQ(boxes.last().call.title, QString::fromLatin1(c.caption).arg(QString::fromLatin1(line.path())));
        EXPECT_TRUE(boxes.last().call.text.startsWith("Input/output error\n"));
        EXPECT_TRUE(boxes.last().call.text.contains("plugged in"));

        EXPECT_FALSE(device->Write("I"));
        EXPECT_EQ(device->InCount(), 0u);
        clock.advance(1000);
        EXPECT_EQ(boxes.count(), 1u);
    }
}

TEST_F(ComPort, AnOpenAfterAVanishedPortStartsAfresh)
{
    PseudoTerminal gone;
    auto device = makeDevice();
    device->PortName = gone.path();
    ASSERT_TRUE(device->Open());
    gone.closeMaster();
    device->InCount();
    ASSERT_TRUE(device->WasLost());

    device->PortName = pty.path();
    ASSERT_TRUE(device->Open());
    EXPECT_FALSE(device->WasLost());
    pty.send("x");
    EXPECT_EQ(device->InCount(), 1u);
}

TEST_F(ComPort, WriteThatTheLineNeverTakesGivesUpWithATimeout)
{
    const int usualLimit = serdev::comWriteStallLimitMs();
    serdev::setComWriteStallLimitMs(20);
    auto device = openDevice();

    // Nobody reads the far end, so the queues fill up and stay full.
    EXPECT_FALSE(device->Write(QByteArray(4 * 1024 * 1024, 'x')));
    serdev::setComWriteStallLimitMs(usualLimit);
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(device->LastError, static_cast<serdev::Dword>(ETIMEDOUT));
    EXPECT_TRUE(boxes.last().call.text.contains("took no data in time"));
}

TEST_F(ComPort, CloseReleasesThePortAndAsksForAUsbPass)
{
    auto device = openDevice();
    EXPECT_TRUE(device->UsbList->Idle); // held while open
    EXPECT_TRUE(device->Close());
    EXPECT_FALSE(device->IsOpen);
    EXPECT_FALSE(device->PollTimer);
    EXPECT_FALSE(device->UsbList->Idle);

    auto other = makeDevice();
    other->PortName = pty.path();
    EXPECT_TRUE(other->Open());
}
