#include "BackgroundThread.h"

#include <pthread.h>

namespace platform {

BackgroundThread::BackgroundThread(const char* name, Body body, Clock& clock)
{
    clock.threadStarted();
    thread_ = std::jthread([name, body = std::move(body), &clock](std::stop_token stop) {
        ::pthread_setname_np(::pthread_self(), name);
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
