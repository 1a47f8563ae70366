#include "ReplyLog.h"

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
    memo_.clear();
}

void ReplyLog::addBlock(const QByteArray& replyBlock)
{
    for (const QByteArray& line : blockLines(replyBlock)) {
        lines_.append(line);
        memo_.appendPlainText(fromWindows1251(line));
    }
}

} // namespace adapter
