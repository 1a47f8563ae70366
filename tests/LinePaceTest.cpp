#include "support/DeviceFixture.h"

#include "sim/LinePace.h"

using sim::LinePace;

// At 9600 baud a byte takes 10 bit times: 1.0417 ms.
TEST(LinePace, EachByteTakesItsOwnSlotAndIdleTimeIsNotSavedUp)
{
    LinePace pace;
    pace.wake(1000);
    EXPECT_EQ(pace.due(999.9, 9600), 0);
    EXPECT_EQ(pace.due(1000, 9600), 1); // the first byte leaves when handed over
    EXPECT_EQ(pace.due(1000 + 11.5, 9600), 12);
    pace.spend(12, 9600);
    EXPECT_EQ(pace.due(1000 + 12.4, 9600), 0);
    EXPECT_EQ(pace.due(1000 + 12.5, 9600), 1);

    pace.wake(5000); // a second of quiet gives no burst
    EXPECT_EQ(pace.due(5000, 9600), 1);
    EXPECT_EQ(pace.due(5000, 115200), 1);
    EXPECT_EQ(pace.due(5010, 115200), 116);
}

namespace {

class PacedD2xxLine : public DeviceFixture {};

} // namespace

// The D2XX test library carries bytes no faster than a real line: a search
// probe takes 12.5 ms to leave at 9600 baud, and a reply as long as its bytes
// need to arrive.
TEST_F(PacedD2xxLine, WritesLeaveAndRepliesArriveAtTheLinesRate)
{
    simd2xx::addDevice("VM4A7C21", "Velmora VT-2");
    sim::AdapterProfile profile = sim::standardProfile();
    profile.line.baud = 9600;
    simd2xx::attachAdapter("VM4A7C21", profile);
    auto device = makeDevice();
    device->PortName = "USB:VM4A7C21";
    ASSERT_TRUE(device->Open());
    device->Configure("9600,N,8");

    ASSERT_TRUE(device->Write(sim::kFirstPrefix + QByteArray("I")));
    EXPECT_EQ(device->OutCount(), 11u);
    clock.advance(12);
    EXPECT_EQ(device->OutCount(), 0u);

    // The reply to "I" is well over 100 bytes; the first 100 need 104 ms.
    int ms = 0;
    for (; device->InCount() < 100 && ms < 1000; ++ms)
        clock.advance(1);
    EXPECT_GE(ms, static_cast<int>(100 * LinePace::characterMs(9600)));
    EXPECT_LT(ms, 1000);
}
