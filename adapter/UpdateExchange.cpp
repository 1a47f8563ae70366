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
    // After the update command, or without it to an adapter thought to be
    // there, the adapter is in its bootloader until an upload ends well.
    leftInBootloader_.insert(window_.device().PortName);
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
    fwupdate::TFWUpdate& upload = window_.firmwareUpdate();
    if (upload.IsBusy())
        return true;
    if (upload.EndedWell())
        leftInBootloader_.remove(window_.device().PortName);
    FinishExchange();
    return false;
}

} // namespace adapter
