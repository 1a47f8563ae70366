#include "adapter/ReplyLines.h"
#include "adapter/Windows1251.h"

#include <gtest/gtest.h>

using adapter::ReplyField;

namespace {

struct LineCase {
    QByteArray line;
    ReplyField field;
    QByteArray value;
    QByteArray description = {};
};

void PrintTo(const LineCase& c, std::ostream* os)
{
    *os << '"' << c.line.toStdString() << '"';
}

class ReplyLineRecognition : public ::testing::TestWithParam<LineCase> {};

} // namespace

TEST_P(ReplyLineRecognition, ClassifiesTheLineAndTakesItsValue)
{
    const LineCase& c = GetParam();
    const adapter::ReplyLine line = adapter::classifyReplyLine(c.line);
    EXPECT_EQ(line.field, c.field);
    if (c.field != ReplyField::None) {
        EXPECT_EQ(line.value, c.value);
        EXPECT_EQ(line.description, c.description);
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, ReplyLineRecognition, ::testing::Values(
    LineCase{"01 - Stage 1", ReplyField::Mode, "01", "Stage 1"},
    LineCase{"ABC - x", ReplyField::Mode, "ABC", "x"},
    LineCase{"0 - ", ReplyField::Mode, "0", ""},
    LineCase{"B - Valet - slow", ReplyField::Mode, "B", "Valet - slow"},
    LineCase{"ABCD - x", ReplyField::None, {}},
    LineCase{"a1 - x", ReplyField::None, {}},
    LineCase{" - x", ReplyField::None, {}},
    LineCase{"01-x", ReplyField::None, {}},
    LineCase{"OK", ReplyField::None, {}},
    LineCase{"12", ReplyField::None, {}},
    LineCase{"", ReplyField::None, {}},
    LineCase{"USB-Interface 2", ReplyField::ProductLine, "USB-Interface 2"},
    LineCase{"CR:Model 7", ReplyField::ProductLine, "Model 7"},
    LineCase{"Serial Number: 12345", ReplyField::Serial, "12345"},
    LineCase{"SN:12345", ReplyField::Serial, "12345"},
    LineCase{"sn:12345", ReplyField::None, {}},
    LineCase{"Signature: VT2", ReplyField::Signature, "VT2"},
    LineCase{"ID:VT2", ReplyField::Signature, "VT2"},
    LineCase{"Version 2.14", ReplyField::Firmware, "2.14"},
    LineCase{"FW: 1.2", ReplyField::Firmware, " 1.2"},
    LineCase{"BW:1.3", ReplyField::Bootloader, "1.3"},
    LineCase{"Hardware: 3", ReplyField::Hardware, "3"},
    LineCase{"HW:3", ReplyField::Hardware, "3"},
    LineCase{"PW:Off", ReplyField::Power, "Off"},
    LineCase{"UP:5A", ReplyField::Voltage, "5A"},
    LineCase{"Selected Mode: 01", ReplyField::None, {}}));

TEST(ReplyLines, PowerIsOnUnlessTheStateBeginsWithOf)
{
    EXPECT_FALSE(adapter::powerLineTicks("PW:Off"));
    EXPECT_FALSE(adapter::powerLineTicks("PW:Of"));
    EXPECT_TRUE(adapter::powerLineTicks("PW:On"));
    EXPECT_TRUE(adapter::powerLineTicks("PW:"));
    EXPECT_TRUE(adapter::powerLineTicks("PW:OFF"));
}

TEST(ReplyLines, VoltageIsTheHexReadingScaledToTenthsOfAVolt)
{
    const std::vector<std::pair<QByteArray, QByteArray>> cases{
        {"5A", "12.6"}, {"0", "0.5"}, {"zz", "0.5"}, {"", "0.5"}, {"FF", "34.8"}, {" 55", "11.9"},
        {"5a", "12.6"}, {"0x5A", "12.6"}, {"5AV", "12.6"},
        // A reading of 189 or more needs 64-bit arithmetic.
        {"BD", "25.9"}, {"FFFF", "8815.3"},
        // Past 32 bits the reading stays at the largest 32-bit value.
        {"123456789", "577695471.3"},
    };
    for (const auto& [value, shown] : cases)
        EXPECT_EQ(adapter::supplyVoltageText(value), shown) << value.toStdString();
}

TEST(ReplyLines, RepliesAreDecodedFromWindows1251)
{
    EXPECT_EQ(adapter::fromWindows1251("\xcf\xf0\xee\xf8\xe8\xe2\xea\xe0 1"), QStringLiteral(u"Прошивка 1"));
    EXPECT_EQ(adapter::fromWindows1251("\xa8\xb8\xb9\x88"), QStringLiteral(u"Ёё№€"));
    EXPECT_EQ(adapter::fromWindows1251("\x98"), QString(QChar(0xFFFD)));
}
