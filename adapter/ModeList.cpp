#include "ModeList.h"

#include "Windows1251.h"

#include <QPixmap>
#include <QSignalBlocker>
#include <QTreeWidget>

#include <utility>

namespace adapter {

namespace {

constexpr int kBytesRole = Qt::UserRole;
constexpr int kStateImageRole = Qt::UserRole + 1;

// A row that sorts by its list's comparison.
class ModeRow final : public QTreeWidgetItem {
public:
    explicit ModeRow(const ModeList& list)
        : list_(list)
    {
        setData(ModeList::kNumberColumn, kStateImageRole, ModeList::kNoImage);
    }

    bool operator<(const QTreeWidgetItem& other) const override { return list_.compare(*this, other) < 0; }

private:
    const ModeList& list_;
};

// A row without a state image keeps the image's room, so that every row's
// number starts at the same place.
QIcon blankImage()
{
    QPixmap blank(16, 16);
    blank.fill(Qt::transparent);
    return QIcon(blank);
}

} // namespace

ModeList::ModeList(QTreeWidget& view, QList<QIcon> stateImages)
    : view_(view)
    , stateImages_(std::move(stateImages))
    , noImage_(blankImage())
{
}

void ModeList::clear()
{
    view_.clear();
    SelectedItem = nullptr;
    lastAppended_ = nullptr;
}

QTreeWidgetItem* ModeList::append(const QByteArray& number, const QByteArray& id, const QByteArray& description)
{
    placeLastAppended();
    auto* row = new ModeRow(*this);
    row->setIcon(kNumberColumn, noImage_);
    setText(*row, kNumberColumn, number);
    // Its place is found while it holds only its number; it is filled before
    // it joins the list, so that the list hears of it once.
    const int place = sortedPlace(*row);
    setText(*row, kIdColumn, id);
    setText(*row, kDescriptionColumn, description);
    view_.insertTopLevelItem(place, row);
    lastAppended_ = row;
    return row;
}

int ModeList::sortedPlace(const QTreeWidgetItem& row) const
{
    // After every row that does not go after it: the stable sort's place.
    // Rows mostly arrive in the list's order, so the end is tried first.
    const int rows = count();
    if (rows == 0 || compare(row, *view_.topLevelItem(rows - 1)) >= 0)
        return rows;
    int low = 0;
    int high = rows - 1;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (compare(row, *view_.topLevelItem(middle)) < 0)
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

void ModeList::placeLastAppended()
{
    QTreeWidgetItem* row = std::exchange(lastAppended_, nullptr);
    const int index = row != nullptr ? view_.indexOfTopLevelItem(row) : -1;
    if (index < 0)
        return;
    const bool inPlace = (index == 0 || compare(*view_.topLevelItem(index - 1), *row) <= 0)
                         && (index == count() - 1 || compare(*row, *view_.topLevelItem(index + 1)) < 0);
    if (inPlace)
        return;
    // Moved as a sort moves it: still selected and focused if it was, and
    // without telling the window of a selection that did not change.
    const QSignalBlocker quiet(&view_);
    const bool selected = row->isSelected();
    const bool focused = view_.currentItem() == row;
    view_.takeTopLevelItem(index);
    view_.insertTopLevelItem(sortedPlace(*row), row);
    row->setSelected(selected);
    if (focused)
        view_.setCurrentItem(row, kNumberColumn, QItemSelectionModel::NoUpdate);
}

void ModeList::setText(QTreeWidgetItem& row, int column, const QByteArray& bytes)
{
    row.setData(column, kBytesRole, bytes);
    row.setText(column, fromWindows1251(bytes));
}

int ModeList::count() const
{
    return view_.topLevelItemCount();
}

QTreeWidgetItem* ModeList::row(int index) const
{
    return view_.topLevelItem(index);
}

QByteArray ModeList::idOf(const QTreeWidgetItem& row)
{
    return row.data(kIdColumn, kBytesRole).toByteArray();
}

std::optional<QByteArray> ModeList::textOf(const QTreeWidgetItem& row, int column)
{
    const QVariant bytes = row.data(column, kBytesRole);
    if (!bytes.isValid())
        return std::nullopt;
    return bytes.toByteArray();
}

int ModeList::stateImage(const QTreeWidgetItem& row)
{
    return row.data(kNumberColumn, kStateImageRole).toInt();
}

void ModeList::setStateImage(QTreeWidgetItem& row, int image)
{
    if (stateImage(row) == image)
        return; // no repaint for a row whose mark stays
    row.setData(kNumberColumn, kStateImageRole, image);
    const bool known = image >= 0 && image < stateImages_.size();
    row.setIcon(kNumberColumn, known ? stateImages_[image] : noImage_);
}

void ModeList::focus(QTreeWidgetItem& row)
{
    view_.setCurrentItem(&row, kNumberColumn, QItemSelectionModel::NoUpdate);
}

void ModeList::select(QTreeWidgetItem& row)
{
    if (row.isSelected())
        return;
    // One selected row at most: the one selected before is deselected first.
    view_.clearSelection();
    row.setSelected(true);
}

void ModeList::showSelected()
{
    const QList<QTreeWidgetItem*> selected = view_.selectedItems();
    if (!selected.isEmpty())
        view_.scrollToItem(selected.first(), QAbstractItemView::EnsureVisible);
}

int ModeList::compare(const QTreeWidgetItem& first, const QTreeWidgetItem& second) const
{
    return comparison_ ? comparison_(first, second) : 0;
}

void ModeList::sort()
{
    // The comparison holds the column and the direction; the toolkit's own are not used.
    view_.sortItems(kNumberColumn, Qt::AscendingOrder);
    lastAppended_ = nullptr;
}

} // namespace adapter
