#pragma once

class QTreeWidgetItem;

namespace Ui {
class TfrmMain;
}

namespace adapter {

class ModeList;
class TExchange;

// The mode list's handlers: which row is the user's choice, whether Select
// may act on it, and the list's own ways to Select (double-click, Enter, Space).
class ModeSelection {
public:
    ModeSelection(Ui::TfrmMain& ui, ModeList& modes, TExchange& exchange);

    void lvModesDblClick();
    // A character typed in the list.
    void lvModesKeyPress(char key);
    // A row was selected or deselected: either way it becomes the user's choice.
    void lvModesSelectItem(QTreeWidgetItem* row);
    // A click beside the rows deselects the chosen row; the release selects it
    // again, so that once a row is chosen the list keeps one selected.
    void lvModesMouseUp();

private:
    Ui::TfrmMain& ui_;
    ModeList& modes_;
    TExchange& exchange_;
};

} // namespace adapter
