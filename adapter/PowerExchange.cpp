// Switching the external power: the power command, then "1" or "0" as the
// user ticked the box; the answer's "PW:" line sets the box to what the
// adapter reports and enables it again.

#include "Exchange.h"

#include "ui_UnitMain.h"

namespace adapter {

void TExchange::cbPowerClick()
{
    // A disabled box is the program setting the state, never the user.
    if (!ui_.cbPower->isEnabled())
        return;
    if (isRunning()) {
        // Refused: the tick goes back to what the adapter last reported.
        ui_.cbPower->setChecked(!ui_.cbPower->isChecked());
        return;
    }
    FocusControl = ui_.cbPower;
    ui_.cbPower->setEnabled(false);
    NextState = state::PowerRequest;
    StartExchange();
}

} // namespace adapter
