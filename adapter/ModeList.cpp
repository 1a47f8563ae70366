#include "ModeList.h"

#include "Windows1251.h"

#include <QPixmap>
#include <QTreeWidget>

namespace adapter {

namespace {

constexpr int kBytesRole = Qt::UserRole;
constexpr int kStateImageRole = Qt::UserRole + 1;

// A row that sorts by its list's comparison.
class ModeRow final : public QTreeWidgetItem {
public:
    ModeRow(QTreeWidget& view, const ModeList& list)
        : QTreeWidgetItem(&view)
        , list_(list)
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
}

QTreeWidgetItem* ModeList::append(const QByteArray& number, const QByteArray& id, const QByteArray& description)
{
    auto* row = new ModeRow(view_, *this);
    row->setIcon(kNumberColumn, noImage_);
    setText(*row, kNumberColumn, number);
    sort();
    setText(*row, kIdColumn, id);
    setText(*row, kDescriptionColumn, description);
    return row;
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
}

} // namespace adapter
