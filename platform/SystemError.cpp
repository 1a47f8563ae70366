#include "SystemError.h"

#include <cstring>

namespace platform {

QString systemErrorText(int code)
{
    char buffer[256];
    // The GNU strerror_r returns a pointer to the text, which need not be buffer.
    const char* text = strerror_r(code, buffer, sizeof buffer);
    if (text == nullptr || *text == '\0')
        return QStringLiteral("Unknown error %1").arg(code);
    return QString::fromLocal8Bit(text);
}

} // namespace platform
