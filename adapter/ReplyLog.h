#pragma once

#include <QByteArrayList>

class QPlainTextEdit;

namespace adapter {

// The reply log: the lines of every reply block of the current exchange, as
// the adapter sent them. The memo shows them decoded; the parser reads the
// bytes themselves, so nothing is lost to a round trip through the display.
// The log holds what its bounds allow (LogBounds.h): a longer line is kept
// cut, with a mark in the memo, and lines past the whole log's bound are
// left out, after one mark line.
class ReplyLog {
public:
    explicit ReplyLog(QPlainTextEdit& memo);

    void clear();
    // Appends the lines of a reply block (its CR LF separated lines).
    void addBlock(const QByteArray& replyBlock);
    const QByteArrayList& lines() const { return lines_; }
    bool isEmpty() const { return lines_.isEmpty(); }

private:
    QPlainTextEdit& memo_;
    QByteArrayList lines_;
    qsizetype heldBytes_ = 0;
    bool full_ = false;
};

} // namespace adapter
