// The firmware update: after the update command, or at once when the user
// asks for no search, the port goes to the upload, which reads it alone
// until it ends; the exchange only waits for that.

#include "Exchange.h"

#include "fwupdate/Unitfwupdate.h"
#include "serdev/SerDev.h"
#include "ui_UnitMain.h"

namespace adapter {

bool TExchange::handOverToUpload()
{
    log_.clear();
    // Without the update command this is the last block of an earlier exchange.
    if (!ReplyBlock.isEmpty())
        log_.addBlock(ReplyBlock);
    PollReceive = false;
    fwupdate::TFWUpdate& upload = window_.firmwareUpdate();
    // The image was read and checked when Run was pressed, before any byte went out.
    if (!upload.StartLoaded(window_.device(), ui_.pbUpdateProgress, ui_.edUpdateSatus, ui_.ckbWait->isChecked()))
        return waitForUpload();
    // Run serves as Stop while the upload runs, whatever clicks came since it was pressed.
    ui_.btUpdateRun->setEnabled(true);
    ui_.btUpdateRun->setText(QStringLiteral("Stop"));
    ExchangeState = state::UploadRunning;
    return true;
}

bool TExchange::waitForUpload()
{
    if (window_.firmwareUpdate().IsBusy())
        return true;
    FinishExchange();
    return false;
}

} // namespace adapter
