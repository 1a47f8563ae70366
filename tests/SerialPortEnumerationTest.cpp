#include "serdev/SerialPortEnumeration.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>

using namespace serdev;

namespace {

struct TtyCase {
    const char* what;
    TtyFacts facts;
    std::optional<PortGroup> group;
    QByteArray description;
};

TtyFacts tty(const char* sysname, std::optional<QByteArray> uartType = std::nullopt)
{
    TtyFacts facts;
    facts.sysname = sysname;
    facts.devnode = QByteArray("/dev/") + sysname;
    facts.syspath = QByteArray("/sys/class/tty/") + sysname;
    facts.uartType = std::move(uartType);
    return facts;
}

template <typename Change> TtyFacts with(TtyFacts facts, Change change)
{
    change(facts);
    return facts;
}

void PrintTo(const TtyCase& c, std::ostream* out) { *out << c.what; }

class ClassifyTty : public ::testing::TestWithParam<TtyCase> {};

} // namespace

TEST_P(ClassifyTty, ListsSerialPortsWithTheirModelText)
{
    const TtyCase& expected = GetParam();
    const auto listed = classifyTty(expected.facts);
    ASSERT_EQ(listed.has_value(), expected.group.has_value()) << expected.what;
    if (!listed)
        return;
    EXPECT_EQ(listed->group, *expected.group);
    EXPECT_EQ(listed->port.name, expected.facts.devnode);
    EXPECT_EQ(listed->port.description, expected.description);
    EXPECT_EQ(listed->port.deviceId, expected.facts.syspath);
}

INSTANTIATE_TEST_SUITE_P(Devices, ClassifyTty, ::testing::Values(
    TtyCase{"fitted UART", with(tty("ttyS0", "4"), [](TtyFacts& f) { f.driver = "serial8250"; }),
            PortGroup::OnBoard, "serial8250"},
    TtyCase{"placeholder without a UART", tty("ttyS1", "0"), std::nullopt, {}},
    TtyCase{"virtual console", tty("tty1"), std::nullopt, {}},
    TtyCase{"FTDI bridge", with(tty("ttyUSB0"), [](TtyFacts& f) {
                f.modelEncoded = "FT232R\\x20USB\\x20UART";
                f.model = "FT232R_USB_UART";
                f.driver = "ftdi_sio";
            }), PortGroup::UsbSerial, "FT232R USB UART"},
    TtyCase{"model from the hardware database", with(tty("ttyACM0"), [](TtyFacts& f) {
                f.modelFromDatabase = "CDC Virtual ComPort";
            }), PortGroup::UsbSerial, "CDC Virtual ComPort"},
    TtyCase{"model with underscores only", with(tty("ttyACM1"), [](TtyFacts& f) { f.model = "Velmora_Adapter"; }),
            PortGroup::UsbSerial, "Velmora Adapter"},
    TtyCase{"driver name only", with(tty("ttyUSB1"), [](TtyFacts& f) { f.driver = "ch341-uart"; }),
            PortGroup::UsbSerial, "ch341-uart"},
    TtyCase{"no device node", with(tty("ttyUSB2"), [](TtyFacts& f) { f.devnode.clear(); }), std::nullopt, {}}));

TEST(SerialPortOrder, OnBoardPortsComeFirstEachGroupByPath)
{
    auto listed = [](PortGroup group, const char* path) { return ListedTty{group, {path, "d", ""}}; };
    const auto ordered = orderSerialPorts({listed(PortGroup::UsbSerial, "/dev/ttyUSB1"),
                                           listed(PortGroup::OnBoard, "/dev/ttyS4"),
                                           listed(PortGroup::UsbSerial, "/dev/ttyACM0"),
                                           listed(PortGroup::OnBoard, "/dev/ttyS0")});
    std::vector<QByteArray> names;
    for (const SerialPort& port : ordered)
        names.push_back(port.name);
    EXPECT_EQ(names, (std::vector<QByteArray>{"/dev/ttyS0", "/dev/ttyS4", "/dev/ttyACM0", "/dev/ttyUSB1"}));
}

TEST(SerialPortOrder, ListedPathsFollowInTheirOrderWithoutRepeats)
{
    EXPECT_EQ(splitPortPaths("/dev/pts/4::/dev/pts/3: "), (QByteArrayList{"/dev/pts/4", "/dev/pts/3"}));

    const auto ports = withListedPaths({{"/dev/ttyUSB0", "FT232R USB UART", "/sys/x"}},
                                       {"/dev/pts/4", "/dev/ttyUSB0", "/dev/pts/3"});
    ASSERT_EQ(ports.size(), 3u);
    EXPECT_EQ(ports[1], (SerialPort{"/dev/pts/4", "listed in VELMORA_PORTS", ""}));
    EXPECT_EQ(ports[2].name, "/dev/pts/3");
}

TEST(SerialPortOrder, SystemEnumerationEndsWithThePortsOfTheEnvironment)
{
    setenv("VELMORA_PORTS", "/dev/pts/97:/dev/pts/98", 1);
    const auto ports = systemSerialPorts();
    unsetenv("VELMORA_PORTS");
    ASSERT_TRUE(ports.has_value());
    ASSERT_GE(ports->size(), 2u);
    EXPECT_EQ(ports->at(ports->size() - 2).name, "/dev/pts/97");
    EXPECT_EQ(ports->back().name, "/dev/pts/98");
}

// A pass that finds nothing changed costs no enumeration: the port list is
// asked for every 1,131 ms, all the time the window is open.
TEST(SerialPortWatch, EnumeratesAtFirstThenOnlyAfterAChangeOrAFailure)
{
    int enumerations = 0;
    std::optional<std::vector<SerialPort>> next = std::vector<SerialPort>{{"/dev/ttyS0", "serial8250", "/sys/a"}};
    bool changed = false;
    const SerialPortSource source = enumerateOnChange(
        [&] {
            ++enumerations;
            return next;
        },
        [&] { return std::exchange(changed, false); });

    EXPECT_EQ(source()->size(), 1u);
    EXPECT_EQ(source()->size(), 1u);
    EXPECT_EQ(enumerations, 1);

    next->push_back({"/dev/ttyUSB0", "FT232R USB UART", "/sys/b"});
    EXPECT_EQ(source()->size(), 1u); // nothing announced yet
    changed = true;
    EXPECT_EQ(source()->size(), 2u);
    EXPECT_EQ(enumerations, 2);

    const auto ports = *next;
    next.reset();
    changed = true;
    EXPECT_FALSE(source());
    next = ports;
    EXPECT_EQ(source()->size(), 2u); // a failed enumeration is tried again at once
    EXPECT_EQ(source()->size(), 2u);
    EXPECT_EQ(enumerations, 4);
}
