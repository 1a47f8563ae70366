#include "ListHandOff.h"

namespace serdev {

bool ListHandOff::beginReplace(std::stop_token stop)
{
    std::unique_lock lock(mutex_);
    if (!changed_.wait(lock, [this] { return !readerActive_; }, stop))
        return false;
    listReady_ = false;
    return true;
}

void ListHandOff::endReplace()
{
    std::lock_guard lock(mutex_);
    listReady_ = true;
    changed_.notifyAll();
}

int ListHandOff::copyTo(QByteArrayList& names, QByteArrayList& descriptions, QByteArrayList& deviceIds)
{
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return listReady_; });
        readerActive_ = true;
    }
    const int count = lists_.appendTo(names, descriptions, deviceIds);
    std::lock_guard lock(mutex_);
    readerActive_ = false;
    changed_.notifyAll();
    return count;
}

} // namespace serdev
