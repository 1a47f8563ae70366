#include "ContactLinks.h"

#include <QFont>

namespace app {

namespace {

QString zeroFilled(int number, int width)
{
    return QString::number(number).rightJustified(width, QLatin1Char('0'));
}

} // namespace

QString orderMailLink(const QString& address, const QByteArray& productName, const QDate& date)
{
    // Put together piece by piece: the subject's %20s are no placeholders.
    return QStringLiteral("mailto:") + address + QStringLiteral("?subject=Order%20for%20")
        + QString::fromUtf8(productName) + QStringLiteral("%20Adapter%20-%20") + zeroFilled(date.year(), 4)
        + zeroFilled(date.month(), 2) + zeroFilled(date.day(), 2);
}

QFont withFontStyle(QFont font, const QFont& style)
{
    font.setBold(style.bold());
    font.setItalic(style.italic());
    font.setUnderline(style.underline());
    font.setStrikeOut(style.strikeOut());
    return font;
}

} // namespace app
