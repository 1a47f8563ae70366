#include "ReplyFraming.h"

#include <algorithm>
#include <string_view>

namespace adapter {

namespace {

constexpr qsizetype kEndLength = sizeof kBlockEnd - 1;

bool beginsMarker(std::string_view tail)
{
    return std::string_view(kBlockStartCopyright).starts_with(tail)
           || std::string_view(kBlockStartUsb).starts_with(tail);
}

} // namespace

qsizetype markerTailLength(const QByteArray& received)
{
    constexpr qsizetype kLongestMarker = std::max(sizeof kBlockStartCopyright, sizeof kBlockStartUsb) - 1;
    for (qsizetype length = std::min(received.size(), kLongestMarker - 1); length > 0; --length) {
        if (beginsMarker(std::string_view(received.constData() + received.size() - length,
                                          static_cast<std::size_t>(length))))
            return length;
    }
    return 0;
}

bool FrameReply(QByteArray& received, bool& inBlock, QByteArray& replyBlock, qsizetype& endScannedTo)
{
    if (!inBlock) {
        qsizetype start = received.indexOf(kBlockStartCopyright);
        if (start < 0)
            start = received.indexOf(kBlockStartUsb);
        if (start < 0) {
            received.remove(0, received.size() - markerTailLength(received));
            return false;
        }
        received.remove(0, start);
        inBlock = true;
        endScannedTo = 0;
    }

    const qsizetype end = received.indexOf(kBlockEnd, endScannedTo);
    if (end < 0) {
        // A terminator may yet begin in the last three bytes.
        endScannedTo = std::max<qsizetype>(received.size() - (kEndLength - 1), 0);
        return false;
    }
    constexpr qsizetype kLeadingLineEnd = 2;
    replyBlock = received.mid(kLeadingLineEnd, std::max<qsizetype>(end - kLeadingLineEnd, 0));
    received.remove(0, end + kEndLength);
    inBlock = false;
    endScannedTo = 0;
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
