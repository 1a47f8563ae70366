// The mode selection: the select command, then the chosen row's ID as it
// came from the adapter; the answer rebuilds the list with the new active
// mode marked.

#include "Exchange.h"

#include "ui_UnitMain.h"

namespace adapter {

void TExchange::btModeSelectClick()
{
    if (isRunning())
        return;
    QTreeWidgetItem* row = modes_.SelectedItem;
    if (row == nullptr || ModeList::stateImage(*row) == ModeList::kActiveImage)
        return;
    FocusControl = ui_.lvModes;
    NextState = state::SelectRequest;
    StartExchange();
}

void TExchange::sendSelectedModeId()
{
    const QByteArray id = modes_.SelectedItem != nullptr ? ModeList::idOf(*modes_.SelectedItem) : QByteArray();
    send(id, state::SelectionDone, state::NotFound);
}

} // namespace adapter
