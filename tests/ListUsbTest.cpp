#include "support/DeviceFixture.h"

using serdev::TListUSB;
using serdev::TSerDev;
using simd2xx::Call;

namespace {

class ListUsb : public DeviceFixture {
protected:
    // A device whose start-up is over: the USB thread's own first pass, and
    // the one that the COM thread's first rebuild asked for.
    std::unique_ptr<TSerDev> startedDevice()
    {
        auto device = makeDevice();
        clock.advance(TListUSB::kWakePeriodMs);
        EXPECT_EQ(simd2xx::callCount(Call::CreateDeviceInfoList), 2);
        return device;
    }
};

QByteArrayList names(const serdev::PortLists& lists) { return lists.names; }

} // namespace

TEST_F(ListUsb, FirstPassListsEveryDeviceInLibraryOrder)
{
    simd2xx::addDevice("A1B2C3D4", "Velmora Adapter");
    simd2xx::addDevice("FT0001", "FT232R USB UART");
    auto device = makeDevice();

    const serdev::PortLists lists = collect(*device);
    EXPECT_EQ(lists.names, (QByteArrayList{"USB:A1B2C3D4", "USB:FT0001"}));
    EXPECT_EQ(lists.descriptions, (QByteArrayList{"Velmora Adapter", "FT232R USB UART"}));
    EXPECT_EQ(lists.deviceIds, (QByteArrayList{"", ""}));
    EXPECT_EQ(simd2xx::callCount(Call::CreateDeviceInfoList), 1);
}

TEST_F(ListUsb, EnumeratesAgainOnlyWhenAsked)
{
    simd2xx::addDevice("A1B2C3D4", "Velmora Adapter");
    auto device = startedDevice();
    simd2xx::addDevice("FT0001", "FT232R USB UART");

    clock.advance(10 * TListUSB::kWakePeriodMs);
    EXPECT_EQ(names(collect(*device)), QByteArrayList{"USB:A1B2C3D4"});

    device->UsbList->RequestScan();
    clock.advance(TListUSB::kWakePeriodMs);
    EXPECT_EQ(names(collect(*device)), (QByteArrayList{"USB:A1B2C3D4", "USB:FT0001"}));
    EXPECT_EQ(simd2xx::callCount(Call::CreateDeviceInfoList), 3);
}

TEST_F(ListUsb, HoldBeforeTheWakeUpCancelsTheRequest)
{
    auto device = startedDevice();
    device->UsbList->RequestScan();
    device->UsbList->Hold();
    clock.advance(2 * TListUSB::kWakePeriodMs);
    EXPECT_EQ(simd2xx::callCount(Call::CreateDeviceInfoList), 2);
}

TEST_F(ListUsb, RescanHoldsTheCallerUntilThePassHasRun)
{
    auto device = makeDevice();
    simd2xx::addDevice("A1B2C3D4", "Velmora Adapter");
    const auto before = clock.nowMs();

    device->RescanUsb();
    EXPECT_EQ(clock.nowMs() - before, TSerDev::kUsbRescanWaitMs);
    EXPECT_EQ(names(collect(*device)), QByteArrayList{"USB:A1B2C3D4"});
    EXPECT_TRUE(device->UsbList->Idle);
}

TEST_F(ListUsb, FailingEnumerationListsNoDevicesAndSaysNothing)
{
    simd2xx::addDevice("A1B2C3D4", "Velmora Adapter");
    auto device = startedDevice();
    ASSERT_EQ(collect(*device).names.size(), 1);

    for (Call failing : {Call::CreateDeviceInfoList, Call::GetDeviceInfoList}) {
        simd2xx::failCalls(failing, 18);
        device->UsbList->RequestScan();
        clock.advance(TListUSB::kWakePeriodMs);
        EXPECT_TRUE(collect(*device).names.isEmpty());
    }
    EXPECT_EQ(boxes.count(), 0u);
}

TEST_F(ListUsb, LibraryWithoutTheListCallsIsReleasedAndListsNothing)
{
    libraries.provide("libdvd2xx.so", SIM_D2XX_INCOMPLETE_PATH);
    simd2xx::addDevice("A1B2C3D4", "Velmora Adapter"); // in the complete library only
    auto device = makeDevice();
    EXPECT_TRUE(collect(*device).names.isEmpty());

    libraries.provide("libdvd2xx.so", SIM_D2XX_PATH);
    device->RescanUsb();
    EXPECT_EQ(names(collect(*device)), QByteArrayList{"USB:A1B2C3D4"});
}

TEST_F(ListUsb, WithoutAnyLibraryNothingIsListedUntilOneLoads)
{
    simd2xx::addDevice("A1B2C3D4", "Velmora Adapter");
    libraries.remove("libdvd2xx.so");
    auto device = makeDevice();
    EXPECT_TRUE(collect(*device).names.isEmpty());
    EXPECT_EQ(boxes.count(), 0u);

    libraries.provide("libdvd2xx.so", SIM_D2XX_PATH); // tried again at the next pass
    device->RescanUsb();
    EXPECT_EQ(names(collect(*device)), QByteArrayList{"USB:A1B2C3D4"});
}

TEST_F(ListUsb, LongSerialNumbersAndDescriptionsAreCutAtTheirFields)
{
    simd2xx::addDevice(std::string(20, 'S'), std::string(80, 'D'));
    auto device = makeDevice();
    const serdev::PortLists lists = collect(*device);
    ASSERT_EQ(lists.names.size(), 1);
    EXPECT_EQ(lists.names[0], "USB:" + QByteArray(15, 'S'));
    EXPECT_EQ(lists.descriptions[0], QByteArray(63, 'D'));
}

TEST_F(ListUsb, AbsurdDeviceCountFromTheLibraryListsNothing)
{
    for (int i = 0; i <= static_cast<int>(TListUSB::kMaxDevices); ++i)
        simd2xx::addDevice("S" + std::to_string(i), "many");
    auto device = makeDevice();
    EXPECT_TRUE(collect(*device).names.isEmpty());
    EXPECT_EQ(simd2xx::callCount(Call::GetDeviceInfoList), 0);
}
