#include "ModeOrder.h"

#include <algorithm>

namespace app {

namespace {

int folded(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'a' && byte <= 'z' ? byte - ('a' - 'A') : byte;
}

} // namespace

int compareSortTexts(const QByteArray& a, const QByteArray& b)
{
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        if (const int difference = folded(a[i]) - folded(b[i]); difference != 0)
            return difference;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

} // namespace app
