#include "TestLog.h"

#include "Windows1251.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

namespace adapter {

QString displayedTestOutput(const QByteArray& bytes, char previous)
{
    QByteArray lines;
    lines.reserve(bytes.size());
    for (const char byte : bytes) {
        // A CR shows once the next byte tells whether an LF completes it.
        if (previous == '\r' && byte != '\n')
            lines += '\n';
        if (byte != '\r')
            lines += byte;
        previous = byte;
    }
    return fromWindows1251(lines);
}

TestLog::TestLog(QPlainTextEdit& memo)
    : memo_(memo)
{
}

void TestLog::clear()
{
    bytes_.clear();
    memo_.clear();
}

void TestLog::append(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return;
    const QString text = displayedTestOutput(bytes, bytes_.isEmpty() ? '\0' : bytes_.back());
    bytes_ += bytes;
    if (text.isEmpty())
        return;
    // Follow the output while the reader is at its end; leave them where they are otherwise.
    QScrollBar& scroll = *memo_.verticalScrollBar();
    const bool following = scroll.value() == scroll.maximum();
    QTextCursor end(memo_.document());
    end.movePosition(QTextCursor::End);
    end.insertText(text);
    if (following)
        scroll.setValue(scroll.maximum());
}

} // namespace adapter
