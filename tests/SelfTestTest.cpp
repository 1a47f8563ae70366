#include "support/WindowFixture.h"

#include "adapter/LogBounds.h"

#include <QClipboard>
#include <QGuiApplication>

#include <algorithm>

namespace {

const QString kWholeOutput = "CR:(c) 2026 Korvane, Velmora VT-2\n"
                             "Self-test started\n"
                             "Supply voltage: 12.6 V\n"
                             "RAM: Ok\n"
                             "Flash: Ok\n"
                             "CAN bus: Ok\n"
                             "K-Line: Ok\n"
                             "Ext. power switch: Ok\n"
                             "Self-test passed";

class SelfTest : public WindowFixture {
protected:
    QString testLog() { return ui().memLogTest->toPlainText(); }
    // Runs the test to its end, noting each different text the log showed on the way.
    QStringList runTestWatching()
    {
        QStringList shown;
        ui().btRunTest->click();
        while (window->exchange().isRunning()) {
            clock.advance(10);
            if (!testLog().isEmpty() && (shown.isEmpty() || shown.last() != testLog()))
                shown << testLog();
        }
        return shown;
    }
};

} // namespace

TEST_F(SelfTest, TheOutputAppearsLineByLineAsTheAdapterReportsIt)
{
    searchAdapter();
    const QStringList shown = runTestWatching();

    ASSERT_GE(shown.size(), 9);
    EXPECT_EQ(shown.first(), "CR:(c) 2026 Korvane, Velmora VT-2\n");
    for (qsizetype i = 1; i < shown.size(); ++i)
        EXPECT_TRUE(shown[i].startsWith(shown[i - 1])) << i; // only ever appended to
    // A line may arrive over two ticks, but each shows whole before the next comes.
    const QByteArrayList lines = sim::standardProfile().selfTestLines;
    for (qsizetype i = 0; i + 1 < lines.size(); ++i)
        EXPECT_TRUE(std::any_of(shown.begin(), shown.end(), [&](const QString& text) {
            return text.endsWith(QString::fromLatin1(lines[i]) + "\n");
        })) << lines[i].toStdString();
    // The last line came with the empty line that ends the block, which is not shown.
    EXPECT_EQ(testLog(), kWholeOutput);

    EXPECT_EQ(boxes.count(), 0u);
    EXPECT_TRUE(written().ends_with(sim::kFirstPrefix + std::string("T")));
    EXPECT_TRUE(ui().memLog->toPlainText().isEmpty()); // neither logged nor parsed
    EXPECT_EQ(ui().edSerial->text(), "20417");
    EXPECT_TRUE(ui().btCopyTest->isEnabled());
    EXPECT_EQ(window->focusWidget(), ui().btRunTest);
    EXPECT_FALSE(simd2xx::isOpen(kAdapterSerial));
}

TEST_F(SelfTest, OutputInSmallPiecesOrAfterNoiseShowsTheSameFromTheBlocksFirstLine)
{
    for (const char* scenario : {"pieces", "noise"}) {
        searchAdapter(*sim::scenarioProfile(scenario));
        const QStringList shown = runTestWatching();
        EXPECT_EQ(testLog(), kWholeOutput) << scenario;
        EXPECT_TRUE(shown.first().startsWith("CR:")) << scenario;
        if (QByteArray(scenario) == "pieces") {
            EXPECT_GT(shown.size(), 20); // a few bytes a read
        }
        restartProgram();
    }
}

TEST_F(SelfTest, ATerminatorSplitAcrossReadsKeepsTheLineEndShownBeforeIt)
{
    sim::AdapterProfile mute = sim::standardProfile();
    mute.selfTestLines.clear(); // the test writes its output itself
    searchAdapter(mute);
    ui().btRunTest->click();
    clock.advance(20);
    simd2xx::receive(kAdapterSerial, "\r\nCR:x\r\nLine 1\r\n\r");
    clock.advance(20);
    EXPECT_EQ(testLog(), "CR:x\nLine 1\n");
    simd2xx::receive(kAdapterSerial, "\n");
    runExchange();
    EXPECT_EQ(testLog(), "CR:x\nLine 1\n");
    EXPECT_EQ(window->TestLog->bytes(), "CR:x\r\nLine 1\r\n\r");
    EXPECT_EQ(boxes.count(), 0u);
}

TEST_F(SelfTest, ATestThatBreaksOffEndsWithTheNotFoundMessageAndKeepsItsOutput)
{
    searchAdapter(*sim::scenarioProfile("test-stops"));
    runTestWatching();
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes.last().call.text, "Velmora Adapter is not found on Communication Port USB:VM4A7C21 (Velmora VT-2)\n"
                                      "The self-test's report broke off before its end.");
    EXPECT_TRUE(testLog().endsWith("RAM: Ok\nFlash: Ok\n"));
    EXPECT_FALSE(simd2xx::isOpen(kAdapterSerial));
}

TEST_F(SelfTest, ATestThatNeverEndsIsGivenUpAtTheReplysBoundsAndItsLogStaysBounded)
{
    searchAdapter(*sim::scenarioProfile("endless-test"));
    ui().btRunTest->click();
    const std::int64_t started = clock.nowMs();
    qsizetype mostKept = 0;
    while (window->exchange().isRunning() && clock.nowMs() - started < 60000) {
        clock.advance(10);
        mostKept = std::max(mostKept, window->exchange().RxText.size());
    }
    EXPECT_FALSE(window->exchange().isRunning());
    EXPECT_LE(mostKept, adapter::TExchange::kReplyByteLimit + 200); // at most a tick's bytes beyond
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_TRUE(boxes.last().call.text.endsWith("\nThe port kept sending without a complete reply: another device "
                                                "may be connected to it, or another program may be sending on it."));
    // What it reported is kept up to the log's bound.
    EXPECT_TRUE(testLog().startsWith(kWholeOutput.section('\n', 0, 3)));
    EXPECT_LE(window->TestLog->bytes().size(), adapter::kLogByteLimit);
    EXPECT_FALSE(simd2xx::isOpen(kAdapterSerial));
}

TEST_F(SelfTest, RunEmptiesTheLogFirstAndCopyTakesWhatItHolds)
{
    searchAdapter();
    runTestWatching();
    QGuiApplication::clipboard()->setText("before");
    ui().btCopyTest->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), kWholeOutput);
    EXPECT_EQ(ui().memLogTest->textCursor().selectedText().size(), kWholeOutput.size());

    ui().btRunTest->click();
    EXPECT_TRUE(testLog().isEmpty());
    EXPECT_FALSE(ui().btCopyTest->isEnabled());
    QGuiApplication::clipboard()->setText("before");
    window->btCopyTestClick(); // as a click would, were the button enabled
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
    runExchange();
}

TEST_F(SelfTest, StartsWhileTheTestRunsAreRefusedAndTheTestGoesOn)
{
    searchAdapter();
    ui().btRunTest->click();
    clock.advance(300);
    const std::string sent = written();
    const QString shown = testLog();

    ui().cbPower->click();
    EXPECT_TRUE(ui().cbPower->isChecked()); // given back: the adapter's power is on
    EXPECT_TRUE(ui().cbPower->isEnabled());
    ui().btRunTest->click();
    EXPECT_EQ(testLog(), shown); // not emptied
    EXPECT_EQ(written(), sent);

    runExchange();
    EXPECT_EQ(testLog(), kWholeOutput);
    EXPECT_EQ(written(), sent);
    EXPECT_EQ(boxes.count(), 0u);
}
