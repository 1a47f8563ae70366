#include "ModeSelection.h"

#include "Exchange.h"
#include "ModeList.h"
#include "ui_UnitMain.h"

namespace adapter {

namespace {
constexpr char kEnter = 13;
constexpr char kSpace = 32;
} // namespace

ModeSelection::ModeSelection(Ui::TfrmMain& ui, ModeList& modes, TExchange& exchange)
    : ui_(ui)
    , modes_(modes)
    , exchange_(exchange)
{
}

void ModeSelection::lvModesDblClick()
{
    exchange_.btModeSelectClick();
}

void ModeSelection::lvModesKeyPress(char key)
{
    if (key == kEnter || key == kSpace)
        exchange_.btModeSelectClick();
}

void ModeSelection::lvModesSelectItem(QTreeWidgetItem* row)
{
    modes_.SelectedItem = row;
    // While an exchange runs the list is disabled: the program's own
    // selections leave the button as the exchange set it.
    if (ui_.lvModes->isEnabled() && row != nullptr)
        ui_.btModeSelect->setEnabled(ModeList::stateImage(*row) != ModeList::kActiveImage);
}

void ModeSelection::lvModesMouseUp()
{
    if (modes_.SelectedItem != nullptr)
        modes_.select(*modes_.SelectedItem);
}

} // namespace adapter
