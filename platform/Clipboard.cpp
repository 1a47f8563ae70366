#include "Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace platform {

void copyToClipboard(const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
}

} // namespace platform
