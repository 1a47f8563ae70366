#include "BackgroundThread.h"

namespace platform {

BackgroundThread::BackgroundThread(Body body, Clock& clock)
{
    clock.threadStarted();
    thread_ = std::jthread([body = std::move(body), &clock](std::stop_token stop) {
        body(stop);
        clock.threadFinished();
    });
}

BackgroundThread::~BackgroundThread()
{
    requestStop();
    join();
}

void BackgroundThread::join()
{
    if (thread_.joinable())
        thread_.join();
}

} // namespace platform
