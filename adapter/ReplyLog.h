#pragma once

#include <QByteArrayList>

class QPlainTextEdit;

namespace adapter {

// The reply log: the lines of every reply block of the current exchange, as
// the adapter sent them. The memo shows them decoded; the parser reads the
// bytes themselves, so nothing is lost to a round trip through the display.
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
};

} // namespace adapter
