#include "Application.h"

#include "HandlerGuard.h"

namespace app {

TApplication::TApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        showEscapedError(std::current_exception());
        return false;
    }
}

} // namespace app
