#include "support/DeviceFixture.h"

using serdev::SerialPort;
using serdev::TListCOM;
using simd2xx::Call;

namespace {

const SerialPort kOnBoard{"/dev/ttyS0", "serial8250", "/sys/devices/platform/serial8250/tty/ttyS0"};
const SerialPort kUsbSerial{"/dev/ttyUSB0", "FT232R USB UART", "/sys/devices/pci0000:00/usb1/1-1/ttyUSB0"};
const SerialPort kListed{"/dev/pts/3", "listed in VELMORA_PORTS", ""};

class ListCom : public DeviceFixture {
protected:
    // Time from the start of one COM cycle to the start of the next.
    static constexpr int kCycleAfterRebuild = TListCOM::kSettleAfterRebuildMs + TListCOM::kCyclePeriodMs;
};

} // namespace

TEST_F(ListCom, FirstPassListsThePortsThenAsksForAUsbPass)
{
    setComPorts(std::vector{kOnBoard, kUsbSerial});
    auto device = makeDevice();
    ASSERT_EQ(simd2xx::callCount(Call::CreateDeviceInfoList), 1);

    const serdev::PortLists lists = collect(*device); // waits for the rebuild to end
    EXPECT_EQ(clock.nowMs(), TListCOM::kSettleAfterRebuildMs);
    EXPECT_EQ(lists.names, (QByteArrayList{kOnBoard.name, kUsbSerial.name}));
    EXPECT_EQ(lists.descriptions, (QByteArrayList{kOnBoard.description, kUsbSerial.description}));
    EXPECT_EQ(lists.deviceIds, (QByteArrayList{kOnBoard.deviceId, kUsbSerial.deviceId}));

    clock.advance(serdev::TListUSB::kWakePeriodMs);
    EXPECT_EQ(simd2xx::callCount(Call::CreateDeviceInfoList), 2);
}

TEST_F(ListCom, UnchangedEnumerationRebuildsNothing)
{
    setComPorts(std::vector{kOnBoard});
    auto device = makeDevice();
    clock.advance(5 * kCycleAfterRebuild);
    const int usbPasses = simd2xx::callCount(Call::CreateDeviceInfoList);

    clock.advance(5 * TListCOM::kCyclePeriodMs);
    EXPECT_EQ(simd2xx::callCount(Call::CreateDeviceInfoList), usbPasses);
    EXPECT_EQ(collect(*device).names, QByteArrayList{kOnBoard.name});
}

TEST_F(ListCom, ChangedEnumerationIsRebuiltAndCopiedWholeEvenDuringTheRebuild)
{
    setComPorts(std::vector{kOnBoard});
    auto device = makeDevice();
    clock.advance(TListCOM::kSettleAfterRebuildMs + 1); // first pass over, cycle sleeping

    setComPorts(std::vector{kOnBoard, kUsbSerial, kListed});
    const std::int64_t nextPass = TListCOM::kSettleAfterRebuildMs + TListCOM::kCyclePeriodMs;
    clock.advance(static_cast<int>(nextPass - clock.nowMs()));
    // The pass has replaced the lists and is in its wait: a copy now waits for its end.
    const serdev::PortLists lists = collect(*device);
    EXPECT_EQ(clock.nowMs(), nextPass + TListCOM::kSettleAfterRebuildMs);
    EXPECT_EQ(lists.names, (QByteArrayList{kOnBoard.name, kUsbSerial.name, kListed.name}));
    EXPECT_EQ(lists.descriptions.size(), 3);
    EXPECT_EQ(lists.deviceIds.size(), 3);

    const int usbPasses = simd2xx::callCount(Call::CreateDeviceInfoList);
    clock.advance(serdev::TListUSB::kWakePeriodMs);
    EXPECT_EQ(simd2xx::callCount(Call::CreateDeviceInfoList), usbPasses + 1);
}

TEST_F(ListCom, ComEntriesComeBeforeUsbDevices)
{
    simd2xx::addDevice("A1B2C3D4", "Velmora Adapter");
    setComPorts(std::vector{kOnBoard});
    auto device = makeDevice();
    EXPECT_EQ(collect(*device).names, (QByteArrayList{kOnBoard.name, "USB:A1B2C3D4"}));
}

TEST_F(ListCom, FailedEnumerationShowsAnErrorBoxEveryCycleUntilItWorks)
{
    setComPorts(std::nullopt);
    auto device = makeDevice();
    clock.advance(TListCOM::kCyclePeriodMs);

    ASSERT_EQ(boxes.count(), 2u);
    for (const auto& box : boxes.all()) {
        EXPECT_EQ(box.call.title, "Error...");
        EXPECT_EQ(box.call.text, "Error reading COM-List");
        EXPECT_EQ(box.call.flags, platform::kBoxIconInformation);
        EXPECT_EQ(box.call.parent, nullptr);
        EXPECT_TRUE(box.shownOnUserInterfaceThread);
    }
    EXPECT_TRUE(collect(*device).names.isEmpty());

    setComPorts(std::vector{kOnBoard});
    clock.advance(TListCOM::kCyclePeriodMs);
    EXPECT_EQ(collect(*device).names, QByteArrayList{kOnBoard.name});
    EXPECT_EQ(boxes.count(), 2u);
}

TEST_F(ListCom, DeviceEndsBothThreadsWhileTheyWait)
{
    setComPorts(std::nullopt);
    clock.setPump({}); // the COM thread's box stays queued, the thread waiting for it
    auto device = makeDevice();
    device.reset(); // returns: both threads have ended
    EXPECT_FALSE(platform::deliverQueuedMessageBoxes());

    setComPorts(std::vector{kOnBoard});
    device = makeDevice(); // the COM thread is now in its wait after a rebuild
    device.reset();
    SUCCEED();
}
