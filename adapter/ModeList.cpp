#include "ModeList.h"

#include "Windows1251.h"

#include <QTreeWidget>

namespace adapter {

namespace {
constexpr int kIdBytesRole = Qt::UserRole;
}

ModeList::ModeList(QTreeWidget& view)
    : view_(view)
{
}

void ModeList::clear()
{
    view_.clear();
    SelectedItem = nullptr;
}

QTreeWidgetItem* ModeList::append(const QByteArray& number, const QByteArray& id, const QByteArray& description)
{
    auto* row = new QTreeWidgetItem(&view_);
    row->setText(kNumberColumn, fromWindows1251(number));
    row->setText(kIdColumn, fromWindows1251(id));
    row->setData(kIdColumn, kIdBytesRole, id);
    row->setText(kDescriptionColumn, fromWindows1251(description));
    return row;
}

int ModeList::count() const
{
    return view_.topLevelItemCount();
}

QByteArray ModeList::idOf(const QTreeWidgetItem& row)
{
    return row.data(kIdColumn, kIdBytesRole).toByteArray();
}

void ModeList::showSelected()
{
    const QList<QTreeWidgetItem*> selected = view_.selectedItems();
    if (!selected.isEmpty())
        view_.scrollToItem(selected.first(), QAbstractItemView::EnsureVisible);
}

} // namespace adapter
