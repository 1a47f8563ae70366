#pragma once

// Which of the system's terminals are serial ports, in which order, and how
// they are described. The rules are pure functions over what udev tells of a
// device; systemSerialPorts() asks udev and adds the paths of VELMORA_PORTS.

#include "PortLists.h"

#include <optional>
#include <vector>

namespace serdev {

// What udev tells of one device of the tty subsystem.
struct TtyFacts {
    QByteArray sysname;        // ttyS0, ttyUSB0
    QByteArray devnode;        // /dev/ttyS0
    QByteArray syspath;        // /sys/devices/...
    std::optional<QByteArray> uartType; // sysfs "type" of a serial core port; 0 means no UART
    QByteArray modelEncoded;   // ID_MODEL_ENC, with \xNN escapes
    QByteArray modelFromDatabase;
    QByteArray model;          // ID_MODEL, blanks as underscores
    QByteArray driver;         // the driver of the parent device
};

enum class PortGroup { OnBoard, UsbSerial };

struct ListedTty {
    PortGroup group;
    SerialPort port;
};

// A serial port to list, or nothing for a terminal that is none (virtual
// consoles, the placeholder ttyS ports of UARTs that are not fitted).
std::optional<ListedTty> classifyTty(const TtyFacts& facts);

// On-board and PCI ports first, then USB serial devices, each group by path.
std::vector<SerialPort> orderSerialPorts(std::vector<ListedTty> ports);

// The paths of a colon-separated list, in their order, empty items left out.
QByteArrayList splitPortPaths(const QByteArray& value);

// The ports with the listed paths added at the end, unless already listed.
std::vector<SerialPort> withListedPaths(std::vector<SerialPort> ports, const QByteArrayList& paths);

QByteArray decodeUdevEscapes(const QByteArray& encoded);

struct DeviceProperty {
    QByteArray name;
    QByteArray value;
};

// What udev knows of the device at a sysfs path (a port's device id), in
// udev's order; nothing when the device is gone.
std::vector<DeviceProperty> udevDeviceProperties(const QByteArray& syspath);

// The enumeration the COM thread runs: udev's serial ports, then VELMORA_PORTS.
std::optional<std::vector<SerialPort>> systemSerialPorts();

} // namespace serdev
