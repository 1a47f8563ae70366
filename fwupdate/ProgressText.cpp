#include "ProgressText.h"

namespace fwupdate {

QString silentBootloaderText()
{
    return QStringLiteral("The bootloader has not answered: Stop ends the wait");
}

QString pageProgressText(std::int32_t pagesTaken, std::int32_t pageCount, std::int64_t elapsedMs)
{
    if (pagesTaken <= 0 || pageCount <= pagesTaken)
        return QStringLiteral("%p%");
    const std::int64_t leftMs = elapsedMs * (pageCount - pagesTaken) / pagesTaken;
    const std::int64_t seconds = (leftMs + 999) / 1000;
    const QString left = seconds < 60 ? QStringLiteral("%1 s").arg(seconds)
                                      : QStringLiteral("%1 min %2 s").arg(seconds / 60).arg(seconds % 60);
    return QStringLiteral("%p% \u2013 about ") + left + QStringLiteral(" left");
}

} // namespace fwupdate
