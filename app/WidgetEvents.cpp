#include "WidgetEvents.h"

#include <QObject>

namespace app {

namespace {

class EventHook final : public QObject {
public:
    EventHook(QObject& target, QEvent::Type type, std::function<void(QEvent&)> handler)
        : QObject(&target)
        , type_(type)
        , handler_(std::move(handler))
    {
        target.installEventFilter(this);
    }

    bool eventFilter(QObject* /*watched*/, QEvent* event) override
    {
        if (event->type() == type_)
            handler_(*event);
        return false;
    }

private:
    QEvent::Type type_;
    std::function<void(QEvent&)> handler_;
};

} // namespace

void onEvent(QObject& target, QEvent::Type type, std::function<void(QEvent&)> handler)
{
    new EventHook(target, type, std::move(handler)); // owned by the target
}

} // namespace app
