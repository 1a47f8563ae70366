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

void ListHandOff::beginCopy()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return listReady_; });
    readerActive_ = true;
}

void ListHandOff::endCopy()
{
    std::lock_guard lock(mutex_);
    readerActive_ = false;
    changed_.notifyAll();
}

} // namespace serdev
