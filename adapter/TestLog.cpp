#include "TestLog.h"

#include "LogBounds.h"
#include "Windows1251.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

namespace adapter {

namespace {

bool isLineEnd(char byte)
{
    return byte == '\r' || byte == '\n';
}

} // namespace

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
    lineBytes_ = 0;
    cuttingLine_ = false;
    full_ = false;
    memo_.clear();
}

QString TestLog::boundedText(const QByteArray& bytes)
{
    QString text;
    QByteArray run; // kept bytes not yet turned into text
    const auto flush = [&] {
        text += displayedTestOutput(run, bytes_.isEmpty() ? '\0' : bytes_.back());
        bytes_ += run;
        run.clear();
    };
    for (const char byte : bytes) {
        if (full_)
            break;
        if (isLineEnd(byte)) {
            lineBytes_ = 0;
            cuttingLine_ = false;
        } else if (cuttingLine_) {
            continue;
        } else if (++lineBytes_ > kLogLineLimit) {
            cuttingLine_ = true;
            flush();
            text += kLineCutMark;
            continue;
        }
        if (bytes_.size() + run.size() >= kLogByteLimit) {
            full_ = true;
            flush();
            text += QLatin1Char('\n') + kLogCutMark;
            break;
        }
        run += byte;
    }
    flush();
    return text;
}

void TestLog::append(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return;
    const QString text = boundedText(bytes);
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
