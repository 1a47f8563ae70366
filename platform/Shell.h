#pragma once

#include <QString>

#include <functional>

namespace platform {

// Opens an item the way the desktop opens it by default: a web address in
// the browser, a mailto: link in the mail program. False when the desktop
// could not (no browser or mail program is set up).
bool openWithShell(const QString& item);

// Tests record what is opened instead, and say whether it opened. An empty
// opener restores the desktop's.
using ShellOpener = std::function<bool(const QString& item)>;
void setShellOpener(ShellOpener opener);

} // namespace platform
