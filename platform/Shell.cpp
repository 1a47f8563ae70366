#include "Shell.h"

#include <QDesktopServices>
#include <QUrl>

namespace platform {

namespace {

ShellOpener& opener()
{
    static ShellOpener instance;
    return instance;
}

} // namespace

bool openWithShell(const QString& item)
{
    if (opener())
        return opener()(item);
    // A bare "www.example.com" is a web address to the desktop, as it is to a user.
    return QDesktopServices::openUrl(QUrl::fromUserInput(item));
}

void setShellOpener(ShellOpener replacement)
{
    opener() = std::move(replacement);
}

} // namespace platform
