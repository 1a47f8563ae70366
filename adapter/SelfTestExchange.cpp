// The self-test: its output is shown in the test log as it arrives, from the
// first line of its block on; the block is neither logged nor parsed.

#include "Exchange.h"

#include "ui_UnitMain.h"

namespace adapter {

void TExchange::btRunTestClick()
{
    if (isRunning())
        return;
    ui_.pcOptions->setEnabled(false);
    FocusControl = ui_.btRunTest;
    testLog_.clear();
    NextState = state::TestRequest;
    StartExchange();
    ui_.pcOptions->setEnabled(true);
}

void TExchange::CopyTestOutput(bool inBlock)
{
    if (!inBlock)
        return; // bytes before the block's start marker are never shown
    const qsizetype count = RxText.size() - TestLogPos + 1;
    if (count <= 0)
        return;
    TestLogTarget->append(RxText.mid(TestLogPos - 1, count));
    TestLogPos += static_cast<std::int32_t>(count);
}

bool TExchange::finishSelfTest()
{
    // ReplyBlock holds the block from RxText position 3 on; what streamed in
    // before the block was complete is already shown, the empty line that
    // ends it never is.
    const qsizetype shown = TestLogPos - kFirstLinePos;
    if (shown < ReplyBlock.size())
        testLog_.append(ReplyBlock.mid(shown));
    FinishExchange();
    return false;
}

} // namespace adapter
