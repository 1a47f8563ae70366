// Sorting the mode list: by the clicked column, ascending, and reversed by a
// second click on the same column. The column and the direction are kept
// across runs (stored at close).

#include "ModeOrder.h"
#include "UnitMain.h"
#include "ui_UnitMain.h"

namespace app {

int TfrmMain::lvModesCompare(const QTreeWidgetItem& first, const QTreeWidgetItem& second) const
{
    int result = 0;
    // A row that does not hold the sorted column yet (it is being added)
    // compares equal; the sort when the exchange ends settles its place.
    if (SortColumn >= 0 && SortColumn < kModeColumns) {
        const std::optional<QByteArray> a = adapter::ModeList::textOf(first, SortColumn);
        const std::optional<QByteArray> b = adapter::ModeList::textOf(second, SortColumn);
        if (a && b)
            result = compareSortTexts(*a, *b);
    }
    return SortDescending != 0 ? -result : result;
}

void TfrmMain::lvModesColumnClick(int column)
{
    if (Modes->count() == 0)
        return;
    if (column == SortColumn)
        SortDescending = SortDescending == 0 ? 1 : 0;
    else
        SortDescending = 0;
    SortColumn = column;
    Modes->sort();
    Modes->showSelected();
}

} // namespace app
