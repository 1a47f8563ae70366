#include "ReplyLog.h"

#include "LogBounds.h"
#include "ReplyFraming.h"
#include "Windows1251.h"

#include <QPlainTextEdit>

namespace adapter {

ReplyLog::ReplyLog(QPlainTextEdit& memo)
    : memo_(memo)
{
}

void ReplyLog::clear()
{
    lines_.clear();
    heldBytes_ = 0;
    full_ = false;
    memo_.clear();
}

void ReplyLog::addBlock(const QByteArray& replyBlock)
{
    // The memo takes the block in one piece: one layout, not one per line.
    QStringList shown;
    for (const QByteArray& line : blockLines(replyBlock)) {
        if (full_)
            break;
        const QByteArray kept = line.left(kLogLineLimit);
        if (heldBytes_ + kept.size() > kLogByteLimit) {
            full_ = true;
            shown.append(kLogCutMark);
            break;
        }
        heldBytes_ += kept.size();
        lines_.append(kept);
        shown.append(kept.size() < line.size() ? fromWindows1251(kept) + kLineCutMark : fromWindows1251(kept));
    }
    if (!shown.isEmpty())
        memo_.appendPlainText(shown.join(QLatin1Char('\n')));
}

} // namespace adapter
