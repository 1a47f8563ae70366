#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

class QFont;

namespace app {

// The order e-mail link: the address, and a subject naming the product and
// the date as eight digits, such as
//   mailto:order@example.com?subject=Order%20for%20Velmora%20Adapter%20-%2020270101
// The address and the product name go in as they stand, not percent-encoded.
QString orderMailLink(const QString& address, const QByteArray& productName, const QDate& date);

// `font` with the style (bold, italic, underline, strike-out) of `style`;
// its typeface and size stay.
QFont withFontStyle(QFont font, const QFont& style);

} // namespace app
