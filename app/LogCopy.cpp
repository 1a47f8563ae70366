// Copying the reply log and the test log to the clipboard.

#include "UnitMain.h"
#include "platform/Clipboard.h"
#include "ui_UnitMain.h"

#include <QTextDocumentFragment>

namespace app {

namespace {

// Selects all of the memo and copies the selection; the memo keeps it selected.
void copyAll(QPlainTextEdit& memo)
{
    memo.selectAll();
    platform::copyToClipboard(memo.textCursor().selection().toPlainText());
}

} // namespace

void TfrmMain::btCopyClick()
{
    if (!ui->memLog->document()->isEmpty())
        copyAll(*ui->memLog);
}

void TfrmMain::btCopyTestClick()
{
    if (!ui->memLogTest->document()->isEmpty())
        copyAll(*ui->memLogTest);
}

void TfrmMain::memLogTestChange()
{
    ui->btCopyTest->setEnabled(!ui->memLogTest->document()->isEmpty());
}

} // namespace app
