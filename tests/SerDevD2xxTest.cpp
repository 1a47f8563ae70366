#include "support/DeviceFixture.h"

using serdev::TSerDev;
using simd2xx::Call;

namespace {

const std::string kSerial = "A1B2C3D4";
const QByteArray kPort = "USB:A1B2C3D4";

class SerDevD2xx : public DeviceFixture {
protected:
    SerDevD2xx() { simd2xx::addDevice(kSerial, "Velmora Adapter"); }

    std::unique_ptr<TSerDev> openDevice(const QByteArray& port = kPort)
    {
        auto device = makeDevice();
        device->PortName = port;
        EXPECT_TRUE(device->Open());
        return device;
    }
};

} // namespace

TEST_F(SerDevD2xx, OpensTheDeviceBySerialNumberAndPreparesIt)
{
    auto device = openDevice();

    EXPECT_EQ(device->Kind, serdev::kKindUsb);
    EXPECT_EQ(simd2xx::namesOpened(), std::vector<std::string>{kSerial});
    EXPECT_EQ(simd2xx::callCount(Call::GetCommState), 1);
    EXPECT_EQ(simd2xx::queueSizes(kSerial), (std::vector<std::uint32_t>{4096, 14}));
    EXPECT_EQ(simd2xx::purges(kSerial), std::vector<std::uint32_t>{0x0C});
    EXPECT_EQ(device->PollTimer->interval(), 10);
    EXPECT_TRUE(device->UsbList->Idle); // held while the port is open
}

TEST_F(SerDevD2xx, SerialNumberIsTheEightCharactersAfterThePrefix)
{
    simd2xx::addDevice("", "blank");
    for (const auto& [port, serial] : std::vector<std::pair<QByteArray, std::string>>{
             {"USB:A1B2C3D4XYZ", kSerial}, {"USB:", ""}}) {
        auto device = openDevice(port);
        EXPECT_EQ(simd2xx::namesOpened().back(), serial) << port.constData();
    }
}

TEST_F(SerDevD2xx, NamesOfNoKnownKindAreRefused)
{
    for (const QByteArray& port : {QByteArray("COM3"), QByteArray("com3"), QByteArray("usb:A1B2C3D4"), QByteArray()}) {
        boxes.clear();
        auto device = makeDevice();
        device->PortName = port;
        EXPECT_FALSE(device->Open()) << port.constData();
        EXPECT_EQ(device->Kind, serdev::kKindUnknown);
        ASSERT_EQ(boxes.count(), 1u);
        EXPECT_EQ(boxes.last().call.title, "Open Port(" + port + ") Error...");
        EXPECT_EQ(boxes.last().call.text, "Error: Can not to open unknown device.");
    }
    EXPECT_EQ(simd2xx::callCount(Call::CreateFile), 0);
}

TEST_F(SerDevD2xx, BindsTheFirstLibraryThatLoads)
{
    libraries.remove("libdvd2xx.so");
    libraries.provide("libftd2xx.so", SIM_D2XX_PATH);
    auto device = makeDevice();
    libraries.forgetAsked();

    device->PortName = kPort;
    EXPECT_TRUE(device->Open());
    EXPECT_EQ(libraries.asked(), (std::vector<std::string>{"libdvd2xx.so", "libftd2xx.so"}));
    EXPECT_TRUE(device->D2xxLibrary);
}

TEST_F(SerDevD2xx, WithoutAUsableLibraryEveryUsbOpenAsksToReinstallAndTheNextTriesAgain)
{
    libraries.provide("libdvd2xx.so", SIM_D2XX_INCOMPLETE_PATH); // an entry point is missing
    auto device = makeDevice();
    device->PortName = kPort;

    EXPECT_FALSE(device->Open());
    libraries.remove("libdvd2xx.so"); // now none at all
    EXPECT_FALSE(device->Open());
    ASSERT_EQ(boxes.count(), 2u);
    for (const auto& box : boxes.all()) {
        EXPECT_EQ(box.call.title, "Open Port(USB:A1B2C3D4) Error...");
        EXPECT_EQ(box.call.text, "Reinstall drivers, please.");
    }
    EXPECT_FALSE(device->D2xxLibrary);
    EXPECT_EQ(device->Kind, serdev::kKindCom); // unchanged

    libraries.provide("libdvd2xx.so", SIM_D2XX_PATH);
    EXPECT_TRUE(device->Open());
}

TEST_F(SerDevD2xx, FailedOpenShowsTheLibraryStatus)
{
    auto device = makeDevice();
    device->PortName = "USB:FFFF0000";
    EXPECT_FALSE(device->Open());
    EXPECT_FALSE(device->PollTimer);
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes.last().call.title, "Open Port(USB:FFFF0000) Error...");
    EXPECT_EQ(boxes.last().call.text, "USB Device Error: 2 (Device is not found)");
    EXPECT_EQ(device->LastError, 2u);
}

TEST_F(SerDevD2xx, WriteRepeatsUntilEveryByteIsTaken)
{
    auto device = openDevice();
    simd2xx::setWriteChunks(kSerial, {4, 6});

    EXPECT_TRUE(device->Write("0123456789"));
    EXPECT_EQ(simd2xx::callCount(Call::WriteFile), 2);
    EXPECT_EQ(simd2xx::written(kSerial), "0123456789");

    EXPECT_TRUE(device->Write(""));
    EXPECT_EQ(simd2xx::callCount(Call::WriteFile), 2);
}

TEST_F(SerDevD2xx, FailedWriteShowsTheLibraryStatusAndKeepsThePortOpen)
{
    auto device = openDevice();
    simd2xx::failCalls(Call::WriteFile, simd2xx::kIoError);

    EXPECT_FALSE(device->Write("I"));
    EXPECT_TRUE(device->IsOpen);
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes.last().call.title, "Write Port(USB:A1B2C3D4) Error...");
    EXPECT_EQ(boxes.last().call.text, "USB Device Error: 4 (IO Error)");
}

TEST_F(SerDevD2xx, WriteThatIsNeverTakenIsGivenUpWithAMessage)
{
    auto device = openDevice();
    simd2xx::setWriteChunks(kSerial, std::vector<std::uint32_t>(TSerDev::kMaxWritesWithoutProgress, 0));

    EXPECT_FALSE(device->Write("I"));
    EXPECT_EQ(simd2xx::callCount(Call::WriteFile), TSerDev::kMaxWritesWithoutProgress);
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes.last().call.title, "Write Port(USB:A1B2C3D4) Error...");
    EXPECT_TRUE(boxes.last().call.text.contains("took none of the data"));
}

TEST_F(SerDevD2xx, ClosedDeviceWritesNothingAndReadsNothing)
{
    auto device = makeDevice();
    EXPECT_FALSE(device->Write("I"));
    EXPECT_TRUE(device->Write(""));
    QByteArray bytes = "untouched";
    EXPECT_TRUE(device->Read(bytes, 4));
    EXPECT_EQ(bytes, "untouched");
    EXPECT_EQ(device->InCount(), 0u);
    EXPECT_EQ(device->OutCount(), 0u);
    EXPECT_EQ(boxes.count(), 0u);
}

struct ConfigureCase {
    const char* settings;
    std::uint32_t baud;
    std::uint8_t parity;
    unsigned fParity;
    std::uint8_t byteSize;
};

void PrintTo(const ConfigureCase& c, std::ostream* out) { *out << '"' << c.settings << '"'; }

class SerDevConfigure : public SerDevD2xx, public ::testing::WithParamInterface<ConfigureCase> {};

TEST_P(SerDevConfigure, OneCommStatePerSettingsText)
{
    const ConfigureCase& expected = GetParam();
    auto device = openDevice();
    device->Dcb.StopBits = serdev::kTwoStopBits; // as if the driver had reported it
    const int before = simd2xx::callCount(Call::SetCommState);

    device->Configure(expected.settings);

    EXPECT_EQ(simd2xx::callCount(Call::SetCommState), before + 1);
    const serdev::DCB sent = simd2xx::lastCommState(kSerial);
    EXPECT_EQ(sent.BaudRate, expected.baud);
    EXPECT_EQ(sent.Parity, expected.parity);
    EXPECT_EQ(sent.fParity, expected.fParity);
    EXPECT_EQ(sent.ByteSize, expected.byteSize);
    EXPECT_EQ(sent.StopBits, serdev::kTwoStopBits);
    EXPECT_EQ(sent.DCBlength, 28u);
}

INSTANTIATE_TEST_SUITE_P(Texts, SerDevConfigure, ::testing::Values(
    ConfigureCase{"115200,N,8,1", 115200, 0, 0, 8},
    ConfigureCase{"9600,E,7", 9600, 2, 1, 7},
    ConfigureCase{"19200,S,8", 19200, 4, 1, 8},
    ConfigureCase{"19200,M,8", 19200, 3, 1, 8},
    ConfigureCase{"19200,O,8", 19200, 1, 1, 8},
    ConfigureCase{"19200,e,8", 19200, 0, 0, 8},
    ConfigureCase{"125000,N,8", 125000, 0, 0, 8}));

TEST_F(SerDevD2xx, IncompleteSettingsTextKeepsTheFieldsItLacks)
{
    auto device = openDevice();
    device->Configure("38400,O,7");
    device->Configure("9600");
    const serdev::DCB sent = simd2xx::lastCommState(kSerial);
    EXPECT_EQ(sent.BaudRate, 9600u);
    EXPECT_EQ(sent.Parity, serdev::kOddParity);
    EXPECT_EQ(sent.ByteSize, 7);
}

TEST_F(SerDevD2xx, DeferredLineChangesGoOutInOneCommStateAtTheEnd)
{
    auto device = openDevice();
    const int states = simd2xx::callCount(Call::SetCommState);

    device->BeginConfig();
    device->SetRts(true);
    device->SetDtr(true);
    device->SetBaudRate(19200);
    EXPECT_TRUE(simd2xx::escapes(kSerial).empty());
    EXPECT_EQ(simd2xx::callCount(Call::SetCommState), states);
    device->EndConfig();

    EXPECT_EQ(simd2xx::callCount(Call::SetCommState), states + 1);
    const serdev::DCB sent = simd2xx::lastCommState(kSerial);
    EXPECT_EQ(sent.fRtsControl, 1u);
    EXPECT_EQ(sent.fDtrControl, 1u);
    EXPECT_EQ(sent.BaudRate, 19200u);
}

TEST_F(SerDevD2xx, ControlLinesSwitchAtOnceOutsideDeferral)
{
    auto device = openDevice();
    device->SetRts(false);
    device->SetDtr(true);
    EXPECT_EQ(simd2xx::escapes(kSerial), (std::vector<std::uint32_t>{4, 5}));
    EXPECT_EQ(device->Dcb.fRtsControl, 0u);
    EXPECT_EQ(device->Dcb.fDtrControl, 1u);
}

TEST_F(SerDevD2xx, InCountAddsTheDriverQueueToTheBufferAndReadTakesTheOldest)
{
    auto device = openDevice();
    simd2xx::receive(kSerial, "abcde");
    clock.advance(device->PollInterval);
    simd2xx::receive(kSerial, "fgh");
    EXPECT_EQ(device->RxBuffer, "abcde");

    EXPECT_EQ(device->InCount(), 8u);
    QByteArray bytes;
    EXPECT_TRUE(device->Read(bytes, 6));
    EXPECT_EQ(bytes, "abcdef");
    EXPECT_EQ(device->RxBuffer, "gh");
    EXPECT_EQ(device->PollTimer->interval(), 10);
}

TEST_F(SerDevD2xx, PurgeOfInputKeepsTheBuffer)
{
    auto device = openDevice();
    simd2xx::receive(kSerial, "kept");
    clock.advance(device->PollInterval);
    simd2xx::receive(kSerial, "dropped");

    device->Purge(true, false);
    EXPECT_EQ(simd2xx::purges(kSerial).back(), 0x08u);
    EXPECT_EQ(device->RxBuffer, "kept");
    EXPECT_EQ(simd2xx::inputQueue(kSerial), 0u);
}

TEST_F(SerDevD2xx, OutCountIsWhatTheDriverStillHasToSend)
{
    auto device = openDevice();
    simd2xx::setOutputQueue(kSerial, 9);
    EXPECT_EQ(device->OutCount(), 9u);
}

TEST_F(SerDevD2xx, OpenWhileOpenClosesFirst)
{
    auto device = openDevice();
    simd2xx::receive(kSerial, "old");
    clock.advance(device->PollInterval);

    EXPECT_TRUE(device->Open());
    EXPECT_EQ(simd2xx::callCount(Call::CloseHandle), 1);
    EXPECT_EQ(simd2xx::callCount(Call::CreateFile), 2);
    EXPECT_TRUE(device->RxBuffer.isEmpty());
    EXPECT_TRUE(simd2xx::isOpen(kSerial));
}

TEST_F(SerDevD2xx, OpenWaitsOnceWhileTheUsbThreadEnumerates)
{
    auto device = makeDevice();
    device->PortName = kPort;
    device->UsbList->Busy = true;
    const auto before = clock.nowMs();
    EXPECT_TRUE(device->Open());
    EXPECT_EQ(clock.nowMs() - before, TSerDev::kBusyEnumerationWaitMs);
    device->UsbList->Busy = false;
}

TEST_F(SerDevD2xx, DestroyingAnOpenDeviceClosesItsPort)
{
    auto device = openDevice();
    device.reset();
    EXPECT_FALSE(simd2xx::isOpen(kSerial));
}
