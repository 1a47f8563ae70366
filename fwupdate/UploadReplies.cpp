// What the upload does with each frame from the bootloader, by state.

#include "BootloaderFrames.h"
#include "FirmwareImage.h"
#include "Unitfwupdate.h"

#include <QProgressBar>

namespace fwupdate {

namespace {

// Page numbers are 16 bits and the highest numbers the end: an image needs
// fewer pages than that at the page size the bootloader names.
constexpr std::int32_t kMaxPageCount = kEndPage - 1;

QString pageStatus(const char* format, std::int32_t page)
{
    return QString::asprintf(format, page);
}

} // namespace

bool TFWUpdate::HandleReply()
{
    switch (State) {
    case usWaitPrompt:
        answerPrompt();
        break;
    case usConnect:
        answerConnect();
        break;
    case usSendHeader:
    case usSendAltHeader:
        answerHeader();
        break;
    case usPages:
        answerPage();
        break;
    default:
        break;
    }
    return State != usIdle;
}

void TFWUpdate::answerPrompt()
{
    // Until the bootloader prompts, whatever else arrives is left over from before.
    if (Reply == QByteArray(1, kPromptFrame))
        EnterState(usConnect);
}

void TFWUpdate::answerConnect()
{
    if (Reply[0] == kAckFrame)
        EnterState(usSendHeader);
    else
        end(QStringLiteral("Connecting: Error"));
}

void TFWUpdate::answerHeader()
{
    if (Reply[0] != kAckFrame) {
        end(QStringLiteral("Send Header: Error"));
        return;
    }
    if (PageData.isEmpty()) {
        endWell(QStringLiteral("System Updating : Ok"));
        return;
    }
    // A page size the frame does not carry, or 0, gives no pages to cut.
    const std::optional<std::uint16_t> pageSize = ackedNumber(Reply);
    if (!pageSize || *pageSize == 0) {
        end(QStringLiteral("Send Header: Error"));
        return;
    }
    PageSize = *pageSize;
    PageCount = pageCount(PageData, PageSize);
    if (PageCount > kMaxPageCount) {
        // Page numbers would wrap, and a page would go out numbered as the end.
        end(pageStatus("Writing Page #%d : Error", kEndPage));
        return;
    }
    if (ProgressBar != nullptr)
        ProgressBar->setMaximum(PageCount);
    NakCount = 0;
    EnterState(usPages);
}

void TFWUpdate::answerPage()
{
    switch (Reply[0]) {
    case kAckFrame:
        acknowledged();
        break;
    case kNakFrame:
        rejected();
        break;
    case kPageRequestFrame:
        requested();
        break;
    default:
        break; // a prompt means nothing here
    }
}

void TFWUpdate::acknowledged()
{
    NakCount = 0;
    const std::optional<std::uint16_t> page = ackedNumber(Reply);
    if (!page) {
        end(pageStatus("Writing Page #%d : Error", CurrentPage));
        return;
    }
    CurrentPage = *page;
    if (CurrentPage == kEndPage) {
        if (ProgressBar != nullptr)
            ProgressBar->setValue(ProgressBar->maximum());
        endWell(QStringLiteral("Updating firmware : Ok"));
        return;
    }
    if (ProgressBar != nullptr)
        ProgressBar->setValue(CurrentPage);
    ++pagesTaken_;
    showStatus(pageStatus("Writing Page #%d : Ok", CurrentPage));
}

void TFWUpdate::rejected()
{
    if (CurrentPage == kEndPage) {
        end(QStringLiteral("Error updating firmware..."));
        return;
    }
    // The bootloader asks for the page again; nothing is sent until it does.
    if (++NakCount < kNakLimit)
        showStatus(QString::asprintf("Writing Page #%d : Retry %d", CurrentPage, NakCount));
    else
        end(pageStatus("Writing Page #%d : Error", CurrentPage));
}

void TFWUpdate::requested()
{
    CurrentPage = requestedPage(Reply);
    if (CurrentPage == PageCount) {
        showStatus(QStringLiteral("Updating firmware"));
        CurrentPage = kEndPage;
        SendPacket(QByteArray(1, kPageLead) + WordToBytes(kEndPage), {});
        return;
    }
    showStatus(pageStatus("Writing Page #%d", CurrentPage));
    SendPacket(QByteArray(1, kPageLead) + WordToBytes(static_cast<std::uint16_t>(CurrentPage)),
               page(PageData, PageSize, CurrentPage));
}

QString TFWUpdate::stepErrorStatus() const
{
    switch (State) {
    case usWaitPrompt:
    case usConnect:
        return QStringLiteral("Connecting: Error");
    case usSendHeader:
    case usSendAltHeader:
        return QStringLiteral("Send Header: Error");
    default:
        return CurrentPage == kEndPage ? QStringLiteral("Error updating firmware...")
                                       : pageStatus("Writing Page #%d : Error", CurrentPage);
    }
}

void TFWUpdate::endWell(const QString& status)
{
    end(status);
    endedWell_ = true;
}

void TFWUpdate::end(const QString& status)
{
    EnterState(usIdle);
    showStatus(status);
}

} // namespace fwupdate
