#pragma once

#include <QEvent>

#include <functional>

class QObject;

namespace app {

// Calls `handler` for every event of `type` that reaches `target`, before
// the target's own handling, which goes on as usual. For the events the
// layout binds handlers to that a widget has no signal for (mouse enter and
// leave, a label's click, a list's mouse-up and key press).
void onEvent(QObject& target, QEvent::Type type, std::function<void(QEvent&)> handler);

} // namespace app
