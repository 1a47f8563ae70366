#pragma once

// Which of the system's terminals are serial ports, in which order, and how
// they are described. The rules are pure functions over what udev tells of a
// device; systemSerialPorts() asks udev and adds the paths of VELMORA_PORTS,
// and watchedSystemSerialPorts() asks again only when something changed.

#include "PortLists.h"

#include <functional>

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

// One enumeration: udev's serial ports, then VELMORA_PORTS.
std::optional<std::vector<SerialPort>> systemSerialPorts();

// One enumeration of the system's serial ports, in list order; nothing when
// the enumeration itself failed.
using SerialPortSource = std::function<std::optional<std::vector<SerialPort>>()>;
// Whether anything an enumeration depends on changed since the last call.
using ChangeProbe = std::function<bool()>;

// An enumeration that is repeated only when `changed` says so: a call gives
// the last enumeration again, unless something changed or it failed.
SerialPortSource enumerateOnChange(SerialPortSource enumerate, ChangeProbe changed);

// The enumeration the COM thread runs: systemSerialPorts() at the first call,
// then again only when udev reports a terminal added, removed or changed, or a
// VELMORA_PORTS path appeared or vanished. Where udev's daemon does not run,
// nothing can be watched and every call enumerates.
SerialPortSource watchedSystemSerialPorts();

} // namespace serdev
