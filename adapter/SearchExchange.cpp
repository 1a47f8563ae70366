// The search: the window's identity cleared, then the probe tried at each
// line setting with each command prefix until the adapter answers; its
// status is asked for with the setting and prefix that worked.

#include "Exchange.h"

#include "serdev/SerDev.h"
#include "ui_UnitMain.h"

namespace adapter {

void TExchange::btSearchClick()
{
    if (isRunning())
        return;
    FocusControl = ui_.lvModes;
    NextState = state::ClearIdentity;
    modes_.SelectedItem = nullptr;
    BaudIndex = -1;
    PrefixIndex = 0;
    StartExchange();
}

void TExchange::clearIdentity()
{
    modes_.clear();
    for (QLineEdit* box : {ui_.edSerial, ui_.edCopyRight, ui_.edSignature, ui_.edVersion, ui_.edBootVer,
                           ui_.edHardware})
        box->clear();
    testLog_.clear();
    ui_.pcOptions->setTabVisible(ui_.pcOptions->indexOf(ui_.tsTest), false);
    ui_.edCopyRight->resize(widths_.wide, ui_.edCopyRight->height());
    ui_.cbPower->setVisible(false);
    ui_.edPower->setVisible(false);
    ui_.lbPower->setVisible(false);
    ExchangeState = state::SearchTry;
}

bool TExchange::searchTry()
{
    if (++BaudIndex == kSearchSettings) {
        BaudIndex = 0;
        if (++PrefixIndex == kSearchPrefixes) {
            ExchangeState = state::NotFound; // the message comes on the next tick
            return true;
        }
    }
    window_.device().Configure(window_.baudSetting(BaudIndex));
    sendCommand('I', state::ProbeAnswered, state::SearchTry);
    return true;
}

} // namespace adapter
