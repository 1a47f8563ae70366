#include "Application.h"

#include "HandlerGuard.h"

#include <QIcon>

namespace app {

TApplication::TApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    // The desktop shows the installed entry's name and icon for the window.
    setDesktopFileName(QStringLiteral(VELMORA_APP_ID));
    setWindowIcon(QIcon::fromTheme(QStringLiteral(VELMORA_APP_ID)));
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
