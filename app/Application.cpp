#include "Application.h"

#include "HandlerGuard.h"

#include <QIcon>

namespace app {

TApplication::TApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    // The desktop shows the installed entry's name for the window.
    setDesktopFileName(QStringLiteral(VELMORA_APP_ID));
}

void TApplication::useInstalledIcon()
{
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
