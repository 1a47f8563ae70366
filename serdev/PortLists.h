#pragma once

#include <QByteArray>
#include <QByteArrayList>

namespace serdev {

// One port as an enumeration sees it.
struct SerialPort {
    QByteArray name;
    QByteArray description;
    QByteArray deviceId;
    friend bool operator==(const SerialPort&, const SerialPort&) = default;
};

// The three parallel lists of an enumeration thread: entry i of each is one port.
struct PortLists {
    QByteArrayList names;
    QByteArrayList descriptions;
    QByteArrayList deviceIds;

    void clear()
    {
        names.clear();
        descriptions.clear();
        deviceIds.clear();
    }
    void append(const SerialPort& port)
    {
        names.append(port.name);
        descriptions.append(port.description);
        deviceIds.append(port.deviceId);
    }
    // Appends every entry to the caller's lists; returns how many.
    int appendTo(QByteArrayList& toNames, QByteArrayList& toDescriptions, QByteArrayList& toDeviceIds) const
    {
        toNames += names;
        toDescriptions += descriptions;
        toDeviceIds += deviceIds;
        return static_cast<int>(names.size());
    }
};

} // namespace serdev
