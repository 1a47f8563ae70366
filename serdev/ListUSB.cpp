#include "ListUSB.h"

#include <algorithm>

namespace serdev {

TListUSB::TListUSB()
    : clock_(platform::clock())
    , thread_("ListUSB", [this](std::stop_token stop) { Execute(stop); }, clock_)
{
}

TListUSB::~TListUSB() = default;

void TListUSB::Execute(std::stop_token stop)
{
    while (!stop.stop_requested()) {
        if (!Idle) {
            Pass(stop);
            Idle = true;
        }
        clock_.sleepFor(kWakePeriodMs, stop);
    }
}

void TListUSB::Pass(std::stop_token stop)
{
    if (!D2xxLibrary)
        D2xxLibrary = loadD2xxLibrary();
    if (!D2xxLibrary)
        return; // the lists keep what they held

    EnumerateDevices();

    if (!handOff_.beginReplace(stop))
        return;
    PortLists& lists = handOff_.replacing();
    lists.clear();
    for (Dword i = 0; i < DeviceCount; ++i)
        lists.append({"USB:" + fixedFieldText(Nodes[i].SerialNumber), fixedFieldText(Nodes[i].Description), {}});
    handOff_.endReplace();
}

void TListUSB::EnumerateDevices()
{
    DeviceCount = 0;
    auto create = reinterpret_cast<FtCreateDeviceInfoList>(D2xxLibrary->entryPoint("FT_CreateDeviceInfoList"));
    auto get = reinterpret_cast<FtGetDeviceInfoList>(D2xxLibrary->entryPoint("FT_GetDeviceInfoList"));
    if (create == nullptr || get == nullptr) {
        D2xxLibrary.reset(); // tried again at the next requested pass
        return;
    }
    Busy = true;
    Dword count = 0;
    if (create(&count) == kFtOk && count > 0 && count <= kMaxDevices) {
        Nodes.assign(count, FtDeviceListInfoNode{});
        Dword filled = count;
        // The library fills as many records as it says; never more than there is room for.
        if (get(Nodes.data(), &filled) == kFtOk)
            DeviceCount = std::min(filled, count);
    }
    Busy = false;
}

int TListUSB::CopyLists(QByteArrayList& names, QByteArrayList& descriptions, QByteArrayList& deviceIds)
{
    return handOff_.copyTo(names, descriptions, deviceIds);
}

} // namespace serdev
