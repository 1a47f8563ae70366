#include "ListCOM.h"

#include "ListUSB.h"
#include "platform/MessageBox.h"

namespace serdev {

TListCOM::TListCOM(SerialPortSource source)
    : clock_(platform::clock())
    , source_(std::move(source))
    , thread_("ListCOM", [this](std::stop_token stop) { Execute(stop); }, clock_)
{
}

TListCOM::~TListCOM() = default;

void TListCOM::Execute(std::stop_token stop)
{
    while (!stop.stop_requested()) {
        // The whole pass, its wait included, is the replacement: a copy
        // asked for meanwhile waits for the finished lists.
        if (!handOff_.beginReplace(stop))
            break;
        const bool enumerated = Pass(stop);
        handOff_.endReplace();
        // The box comes after the lists are released, so that a refresh of
        // the window waiting for them is never stuck behind an open box.
        if (!enumerated)
            platform::showMessageBox(nullptr, "Error...", "Error reading COM-List",
                                     platform::kBoxIconInformation, stop);
        clock_.sleepFor(kCyclePeriodMs, stop);
    }
}

bool TListCOM::Pass(std::stop_token stop)
{
    std::optional<std::vector<SerialPort>> ports = source_();
    if (!ports)
        return false;
    if (ports == lastEnumeration_)
        return true;
    lastEnumeration_ = ports;
    PortLists& lists = handOff_.replacing();
    lists.clear();
    for (const SerialPort& port : *ports)
        lists.append(port);
    clock_.sleepFor(kSettleAfterRebuildMs, stop);
    if (TListUSB* usb = Usb.load())
        usb->RequestScan();
    return true;
}

int TListCOM::CopyLists(QByteArrayList& names, QByteArrayList& descriptions, QByteArrayList& deviceIds)
{
    return handOff_.copyTo(names, descriptions, deviceIds);
}

} // namespace serdev
