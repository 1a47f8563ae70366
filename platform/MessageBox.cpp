#include "MessageBox.h"

#include "Clock.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QThread>

#include <deque>
#include <memory>
#include <mutex>

namespace platform {

namespace {

struct QueuedBox {
    explicit QueuedBox(MessageBoxCall c) : call(std::move(c)) {}
    MessageBoxCall call;
    bool done = false;
    int result = 0;
    Condition dismissed;
};

std::mutex boxMutex;
std::deque<std::shared_ptr<QueuedBox>> queuedBoxes;
MessageBoxPresenter presenter;

QMessageBox::Icon iconOf(unsigned flags)
{
    switch (flags & 0xF0) {
    case 0x10: return QMessageBox::Critical;
    case 0x20: return QMessageBox::Question;
    case 0x30: return QMessageBox::Warning;
    case 0x40: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

int showWithQt(const MessageBoxCall& call)
{
    makeMessageBox(call)->exec();
    return kBoxResultOk;
}

int present(const MessageBoxCall& call)
{
    MessageBoxPresenter current;
    {
        std::lock_guard guard(boxMutex);
        current = presenter;
    }
    return current ? current(call) : showWithQt(call);
}

bool onUserInterfaceThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return app == nullptr || QThread::currentThread() == app->thread();
}

} // namespace

std::unique_ptr<QMessageBox> makeMessageBox(const MessageBoxCall& call)
{
    auto box = std::make_unique<QMessageBox>(iconOf(call.flags), call.title, call.text, QMessageBox::Ok, call.parent);
    // Box texts carry port names, file names and device texts from outside
    // the program: markup in them is shown as it is, never obeyed.
    box->setTextFormat(Qt::PlainText);
    return box;
}

void setMessageBoxPresenter(MessageBoxPresenter replacement)
{
    std::lock_guard guard(boxMutex);
    presenter = std::move(replacement);
}

int showMessageBox(QWidget* parent, const QString& title, const QString& text, unsigned flags,
                   std::stop_token stop)
{
    MessageBoxCall call{parent, title, text, flags, false};
    if (onUserInterfaceThread())
        return present(call);

    call.fromBackgroundThread = true;
    auto box = std::make_shared<QueuedBox>(std::move(call));
    std::unique_lock lock(boxMutex);
    queuedBoxes.push_back(box);
    QMetaObject::invokeMethod(QCoreApplication::instance(), [] { deliverQueuedMessageBoxes(); },
                              Qt::QueuedConnection);
    if (!box->dismissed.wait(lock, [&] { return box->done; }, stop)) {
        std::erase(queuedBoxes, box);
        return 0;
    }
    return box->result;
}

bool deliverQueuedMessageBoxes()
{
    bool delivered = false;
    std::unique_lock lock(boxMutex);
    while (!queuedBoxes.empty()) {
        auto box = queuedBoxes.front();
        queuedBoxes.pop_front();
        lock.unlock();
        const int result = present(box->call);
        delivered = true;
        lock.lock();
        box->result = result;
        box->done = true;
        box->dismissed.notifyAll();
    }
    return delivered;
}

} // namespace platform
