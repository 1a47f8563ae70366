#include "adapter/LogBounds.h"
#include "adapter/ReplyLog.h"
#include "adapter/TestLog.h"

#include <QPlainTextEdit>

#include <gtest/gtest.h>

using adapter::kLineCutMark;
using adapter::kLogByteLimit;
using adapter::kLogCutMark;
using adapter::kLogLineLimit;

TEST(ReplyLogBounds, ALongLineIsKeptCutAndShownWithTheMark)
{
    QPlainTextEdit memo;
    adapter::ReplyLog log(memo);
    const QByteArray endless = "CR:" + QByteArray(256 * 1024, 'x');
    log.addBlock(endless + "\r\nSN:1");

    EXPECT_EQ(log.lines(), (QByteArrayList{endless.left(kLogLineLimit), "SN:1"}));
    EXPECT_EQ(memo.toPlainText(), QString::fromLatin1(endless.left(kLogLineLimit)) + kLineCutMark + "\nSN:1");
}

TEST(ReplyLogBounds, LinesPastTheWholeLogsBoundAreLeftOutAfterOneMark)
{
    QPlainTextEdit memo;
    adapter::ReplyLog log(memo);
    const QByteArray line(1000, 'm');
    QByteArrayList block;
    for (qsizetype held = 0; held <= kLogByteLimit; held += line.size())
        block.append(line);
    log.addBlock(block.join("\r\n"));
    log.addBlock("SN:1");

    const qsizetype fitting = kLogByteLimit / line.size();
    EXPECT_EQ(log.lines().size(), fitting);
    const QStringList shown = memo.toPlainText().split('\n');
    EXPECT_EQ(shown.size(), fitting + 1);
    EXPECT_EQ(shown.last(), kLogCutMark);

    log.clear(); // a new exchange has the whole room again
    log.addBlock("SN:1");
    EXPECT_EQ(memo.toPlainText(), "SN:1");
}

TEST(TestLogBounds, ALineThatNeverEndsIsCutOnceAndTheNextLineShowsWhole)
{
    QPlainTextEdit memo;
    adapter::TestLog log(memo);
    // Arriving in pieces, as a self-test's output does.
    for (int piece = 0; piece < 100; ++piece)
        log.append(QByteArray(100, 'a'));
    log.append("\r\nLine 2\r\n");

    EXPECT_EQ(memo.toPlainText(), QString(kLogLineLimit, 'a') + kLineCutMark + "\nLine 2\n");
    EXPECT_EQ(log.bytes(), QByteArray(kLogLineLimit, 'a') + "\r\nLine 2\r\n");
}

TEST(TestLogBounds, OutputPastTheWholeLogsBoundIsDroppedAfterOneMark)
{
    QPlainTextEdit memo;
    adapter::TestLog log(memo);
    const QByteArray line = QByteArray(98, 't') + "\r\n";
    for (qsizetype sent = 0; sent < 2 * kLogByteLimit; sent += line.size())
        log.append(line);

    EXPECT_EQ(log.bytes().size(), kLogByteLimit);
    EXPECT_TRUE(memo.toPlainText().endsWith("\n" + kLogCutMark));
    EXPECT_EQ(memo.toPlainText().count(kLogCutMark), 1);
}
