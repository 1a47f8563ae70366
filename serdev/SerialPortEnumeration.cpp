#include "SerialPortEnumeration.h"

#include <algorithm>
#include <memory>

namespace serdev {

namespace {
const QByteArray kListedDescription = "listed in VELMORA_PORTS";

int hexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

QByteArray describe(const TtyFacts& facts)
{
    for (const QByteArray& text : {decodeUdevEscapes(facts.modelEncoded).trimmed(),
                                   facts.modelFromDatabase.trimmed(),
                                   QByteArray(facts.model).replace('_', ' ').trimmed(),
                                   facts.driver.trimmed()})
        if (!text.isEmpty())
            return text;
    return facts.sysname;
}
} // namespace

QByteArray decodeUdevEscapes(const QByteArray& encoded)
{
    QByteArray decoded;
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == '\\' && i + 3 < encoded.size() && encoded[i + 1] == 'x') {
            const int high = hexDigit(encoded[i + 2]);
            const int low = hexDigit(encoded[i + 3]);
            if (high >= 0 && low >= 0) {
                decoded += static_cast<char>(high * 16 + low);
                i += 3;
                continue;
            }
        }
        decoded += encoded[i];
    }
    return decoded;
}

std::optional<ListedTty> classifyTty(const TtyFacts& facts)
{
    if (facts.devnode.isEmpty())
        return std::nullopt;
    PortGroup group;
    if (facts.sysname.startsWith("ttyUSB") || facts.sysname.startsWith("ttyACM"))
        group = PortGroup::UsbSerial;
    else if (facts.uartType && !facts.uartType->trimmed().isEmpty() && facts.uartType->trimmed() != "0")
        group = PortGroup::OnBoard;
    else
        return std::nullopt;
    return ListedTty{group, {facts.devnode, describe(facts), facts.syspath}};
}

std::vector<SerialPort> orderSerialPorts(std::vector<ListedTty> ports)
{
    std::stable_sort(ports.begin(), ports.end(), [](const ListedTty& a, const ListedTty& b) {
        if (a.group != b.group)
            return a.group == PortGroup::OnBoard;
        return a.port.name < b.port.name;
    });
    std::vector<SerialPort> ordered;
    ordered.reserve(ports.size());
    for (ListedTty& listed : ports)
        ordered.push_back(std::move(listed.port));
    return ordered;
}

QByteArrayList splitPortPaths(const QByteArray& value)
{
    QByteArrayList paths;
    for (const QByteArray& item : value.split(':'))
        if (!item.trimmed().isEmpty())
            paths.append(item.trimmed());
    return paths;
}

std::vector<SerialPort> withListedPaths(std::vector<SerialPort> ports, const QByteArrayList& paths)
{
    for (const QByteArray& path : paths) {
        const bool known = std::any_of(ports.begin(), ports.end(),
                                       [&](const SerialPort& port) { return port.name == path; });
        if (!known)
            ports.push_back({path, kListedDescription, {}});
    }
    return ports;
}

SerialPortSource enumerateOnChange(SerialPortSource enumerate, ChangeProbe changed)
{
    auto last = std::make_shared<std::optional<std::vector<SerialPort>>>();
    return [enumerate = std::move(enumerate), changed = std::move(changed), last] {
        // The probe is asked every time, so that the changes it has seen are taken in.
        if (changed() || !*last)
            *last = enumerate();
        return *last;
    };
}

} // namespace serdev
