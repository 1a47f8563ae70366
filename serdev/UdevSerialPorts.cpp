#include "SerialPortEnumeration.h"

#include <libudev.h>

#include <poll.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace serdev {

namespace {

struct UdevDeleter {
    void operator()(udev* u) const { udev_unref(u); }
    void operator()(udev_enumerate* e) const { udev_enumerate_unref(e); }
    void operator()(udev_device* d) const { udev_device_unref(d); }
    void operator()(udev_monitor* m) const { udev_monitor_unref(m); }
};
template <typename T> using UdevPtr = std::unique_ptr<T, UdevDeleter>;

QByteArray text(const char* value) { return value != nullptr ? QByteArray(value) : QByteArray(); }

TtyFacts factsOf(udev_device* device)
{
    TtyFacts facts;
    facts.sysname = text(udev_device_get_sysname(device));
    facts.devnode = text(udev_device_get_devnode(device));
    facts.syspath = text(udev_device_get_syspath(device));
    if (const char* type = udev_device_get_sysattr_value(device, "type"))
        facts.uartType = QByteArray(type);
    facts.modelEncoded = text(udev_device_get_property_value(device, "ID_MODEL_ENC"));
    facts.modelFromDatabase = text(udev_device_get_property_value(device, "ID_MODEL_FROM_DATABASE"));
    facts.model = text(udev_device_get_property_value(device, "ID_MODEL"));
    if (udev_device* parent = udev_device_get_parent(device)) // owned by device
        facts.driver = text(udev_device_get_driver(parent));
    if (facts.driver.isEmpty())
        facts.driver = text(udev_device_get_property_value(device, "ID_USB_DRIVER"));
    return facts;
}

std::optional<std::vector<ListedTty>> udevSerialPorts()
{
    UdevPtr<udev> context(udev_new());
    if (!context)
        return std::nullopt;
    UdevPtr<udev_enumerate> enumeration(udev_enumerate_new(context.get()));
    if (!enumeration || udev_enumerate_add_match_subsystem(enumeration.get(), "tty") < 0
        || udev_enumerate_scan_devices(enumeration.get()) < 0)
        return std::nullopt;

    std::vector<ListedTty> ports;
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumeration.get()))
    {
        UdevPtr<udev_device> device(udev_device_new_from_syspath(context.get(), udev_list_entry_get_name(entry)));
        if (!device)
            continue; // gone between the scan and now
        if (auto listed = classifyTty(factsOf(device.get())))
            ports.push_back(std::move(*listed));
    }
    return ports;
}

// udev's announcements of terminals added, removed or changed, as its daemon
// sends them once it has set a device up. Without the daemon (a container)
// none would ever come, so then every question is answered with "changed".
class TtyEvents {
public:
    TtyEvents()
        : context_(udev_new())
    {
        if (!context_ || ::access("/run/udev/control", F_OK) != 0)
            return;
        UdevPtr<udev_monitor> monitor(udev_monitor_new_from_netlink(context_.get(), "udev"));
        if (monitor && udev_monitor_filter_add_match_subsystem_devtype(monitor.get(), "tty", nullptr) >= 0
            && udev_monitor_enable_receiving(monitor.get()) >= 0)
            monitor_ = std::move(monitor);
    }

    // Whether any announcement came since the last call; takes them all in.
    bool arrived()
    {
        if (!monitor_)
            return true;
        bool any = false;
        const int fd = udev_monitor_get_fd(monitor_.get());
        for (pollfd ready{fd, POLLIN, 0}; ::poll(&ready, 1, 0) > 0 && (ready.revents & POLLIN);) {
            UdevPtr<udev_device> device(udev_monitor_receive_device(monitor_.get()));
            any = true; // even one that could not be read means something happened
            if (!device)
                break;
        }
        return any;
    }

private:
    UdevPtr<udev> context_;
    UdevPtr<udev_monitor> monitor_;
};

// Which of the VELMORA_PORTS paths exist, compared with the last look.
class ListedPathsPresence {
public:
    bool changed()
    {
        std::vector<bool> present;
        for (const QByteArray& path : splitPortPaths(qgetenv("VELMORA_PORTS")))
            present.push_back(::access(path.constData(), F_OK) == 0);
        const bool differs = present != last_;
        last_ = std::move(present);
        return differs;
    }

private:
    std::vector<bool> last_;
};

} // namespace

std::optional<std::vector<SerialPort>> systemSerialPorts()
{
    auto found = udevSerialPorts();
    if (!found)
        return std::nullopt;
    return withListedPaths(orderSerialPorts(std::move(*found)), splitPortPaths(qgetenv("VELMORA_PORTS")));
}

SerialPortSource watchedSystemSerialPorts()
{
    auto events = std::make_shared<TtyEvents>();
    auto listed = std::make_shared<ListedPathsPresence>();
    return enumerateOnChange(systemSerialPorts, [events, listed] {
        const bool announced = events->arrived();
        return listed->changed() || announced;
    });
}

} // namespace serdev

namespace serdev {

std::vector<DeviceProperty> udevDeviceProperties(const QByteArray& syspath)
{
    std::vector<DeviceProperty> properties;
    UdevPtr<udev> context(udev_new());
    if (!context || syspath.isEmpty())
        return properties;
    UdevPtr<udev_device> device(udev_device_new_from_syspath(context.get(), syspath.constData()));
    if (!device)
        return properties;
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_device_get_properties_list_entry(device.get()))
    {
        properties.push_back({text(udev_list_entry_get_name(entry)), text(udev_list_entry_get_value(entry))});
    }
    return properties;
}

} // namespace serdev
