#include "ReplyFraming.h"

#include <algorithm>

namespace adapter {

bool FrameReply(QByteArray& received, bool& inBlock, QByteArray& replyBlock)
{
    if (!inBlock) {
        qsizetype start = received.indexOf(kBlockStartCopyright);
        if (start < 0)
            start = received.indexOf(kBlockStartUsb);
        if (start >= 0) {
            received.remove(0, start);
            inBlock = true;
        }
    }
    if (!inBlock)
        return false;

    const qsizetype end = received.indexOf(kBlockEnd);
    if (end < 0)
        return false;
    constexpr qsizetype kLeadingLineEnd = 2;
    replyBlock = received.mid(kLeadingLineEnd, std::max<qsizetype>(end - kLeadingLineEnd, 0));
    received.remove(0, end + qsizetype(sizeof kBlockEnd - 1));
    inBlock = false;
    return true;
}

QByteArrayList blockLines(const QByteArray& replyBlock)
{
    QByteArrayList lines;
    qsizetype from = 0;
    while (from <= replyBlock.size()) {
        qsizetype next = replyBlock.indexOf("\r\n", from);
        if (next < 0)
            next = replyBlock.size();
        lines.append(replyBlock.mid(from, next - from));
        from = next + 2;
    }
    return lines;
}

} // namespace adapter
