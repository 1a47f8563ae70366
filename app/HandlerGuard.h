#pragma once

#include <exception>
#include <functional>

namespace app {

// Shows an error that escaped an event handler in an error box with its text
// (empty text for anything thrown that is not an error object).
void showEscapedError(std::exception_ptr error);

// Runs one event handler. An error escaping it ends the handler there, is
// shown, and the program goes on with the next event. Every handler is bound
// through this, so that no error ever unwinds through the toolkit's frames.
void runHandler(const std::function<void()>& handler);

// A slot that runs `handler` guarded.
template <typename Handler> auto guarded(Handler handler)
{
    return [handler = std::move(handler)] { runHandler(handler); };
}

} // namespace app
