#include "support/DeviceFixture.h"

#include <cerrno>

using serdev::deviceErrorText;
using serdev::kKindCom;
using serdev::kKindUsb;

namespace {
class ErrorReport : public DeviceFixture {};
} // namespace

TEST_F(ErrorReport, GivenTextIsShownEvenWhenErrorsAreNotShown)
{
    auto device = makeDevice();
    device->ShowErrors = false;
    device->LastError = 7;
    device->ReportError("Open Port(COM3) Error...", "Reinstall drivers, please.");
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes.last().call.title, "Open Port(COM3) Error...");
    EXPECT_EQ(boxes.last().call.text, "Reinstall drivers, please.");
    EXPECT_EQ(boxes.last().call.flags, platform::kBoxOk | platform::kBoxIconInformation);
    EXPECT_EQ(device->LastError, 7u);
}

TEST_F(ErrorReport, FetchedCodeIsKeptButShownOnlyWhenErrorsAreShownAndItIsNotZero)
{
    auto device = makeDevice();
    device->PortName = "/dev/no-such-port";
    device->ShowErrors = false;
    EXPECT_FALSE(device->Open());
    EXPECT_EQ(device->LastError, static_cast<serdev::Dword>(ENOENT));
    EXPECT_EQ(boxes.count(), 0u);

    simd2xx::addDevice("A1B2C3D4", "Velmora Adapter");
    device->ShowErrors = true;
    device->PortName = "USB:A1B2C3D4";
    ASSERT_TRUE(device->Open());
    device->ReportError("Write Port(USB:A1B2C3D4) Error...", {}); // the library reports no error
    EXPECT_EQ(device->LastError, 0u);
    EXPECT_EQ(boxes.count(), 0u);
}

struct TextCase {
    std::int32_t kind;
    serdev::Dword code;
    const char* text;
};

void PrintTo(const TextCase& c, std::ostream* out) { *out << "kind " << c.kind << " code " << c.code; }

class DeviceErrorText : public ::testing::TestWithParam<TextCase> {};

TEST_P(DeviceErrorText, NamesTheFailure)
{
    EXPECT_EQ(deviceErrorText(GetParam().kind, GetParam().code), QString::fromUtf8(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Codes, DeviceErrorText, ::testing::Values(
    TextCase{kKindUsb, 2, "USB Device Error: 2 (Device is not found)"},
    TextCase{kKindUsb, 4, "USB Device Error: 4 (IO Error)"},
    TextCase{kKindUsb, 18, "USB Device Error: 18 (OTHER_ERROR)"},
    TextCase{kKindUsb, 19, "USB Device Error: 19 (Unknown status)"},
    TextCase{kKindUsb, 0xFFFFFFFF, "USB Device Error: -1 (Unknown status)"},
    TextCase{kKindCom, ENOENT, "No such file or directory"},
    TextCase{kKindCom, EACCES, "Permission denied\nYou may not use this port: add your user to the "
                               "dialout group (sudo usermod -aG dialout $USER), then log out and in again."},
    TextCase{kKindCom, EBUSY, "Device or resource busy\nAnother program holds this port: close it, then try again."}));
