#pragma once

#include <QString>

#include <functional>

namespace platform {

// Opens an item the way the desktop opens it by default: a web address in
// the browser, a mailto: link in the mail program. Whether it could be opened
// is not reported: the program has nothing to do about it.
void openWithShell(const QString& item);

// Tests record what is opened instead. An empty opener restores the desktop's.
using ShellOpener = std::function<void(const QString& item)>;
void setShellOpener(ShellOpener opener);

} // namespace platform
