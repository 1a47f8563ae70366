#pragma once

#include <QByteArray>

class QPlainTextEdit;

namespace adapter {

// The self-test's output as it arrives, in the Test tab's memo. Output is
// appended in whatever pieces it is received; a CR LF line end shows as one
// line break even when its two bytes arrive apart. The memo shows the text;
// the log keeps the bytes it shows, within the bounds of LogBounds.h: the
// rest of a longer line, and everything past the whole log's bound, is
// dropped as it arrives, and a mark shows where.
class TestLog {
public:
    explicit TestLog(QPlainTextEdit& memo);

    void clear();
    // Adds received bytes at the end, whatever the caret or selection in the memo.
    void append(const QByteArray& bytes);
    const QByteArray& bytes() const { return bytes_; }

private:
    // The received bytes that the bounds let through, and the marks of what they cut.
    QString boundedText(const QByteArray& bytes);

    QPlainTextEdit& memo_;
    QByteArray bytes_;
    qsizetype lineBytes_ = 0; // bytes of the line being received
    bool cuttingLine_ = false;
    bool full_ = false;
};

// The text that shows `bytes` when they follow `previous` (the last byte
// received before them, or 0): CR LF, a lone CR and a lone LF each make one
// line break. A CR at the end shows only with the byte after it.
QString displayedTestOutput(const QByteArray& bytes, char previous);

} // namespace adapter
