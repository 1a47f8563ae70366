#pragma once

#include "platform/MessageBox.h"

#include <QCoreApplication>
#include <QThread>

#include <mutex>
#include <vector>

// Records every message box instead of showing it, with the thread it was shown on.
class RecordedBoxes {
public:
    struct Box {
        platform::MessageBoxCall call;
        bool shownOnUserInterfaceThread;
    };

    RecordedBoxes()
    {
        platform::setMessageBoxPresenter([this](const platform::MessageBoxCall& call) {
            std::lock_guard guard(mutex_);
            boxes_.push_back({call, QThread::currentThread() == qApp->thread()});
            return platform::kBoxResultOk;
        });
    }
    ~RecordedBoxes() { platform::setMessageBoxPresenter({}); }

    std::vector<Box> all() const
    {
        std::lock_guard guard(mutex_);
        return boxes_;
    }
    std::size_t count() const { return all().size(); }
    Box last() const { return all().back(); }
    void clear()
    {
        std::lock_guard guard(mutex_);
        boxes_.clear();
    }

private:
    mutable std::mutex mutex_;
    std::vector<Box> boxes_;
};
