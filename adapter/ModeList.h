#pragma once

#include <QByteArray>
#include <QIcon>
#include <QList>

#include <functional>
#include <optional>

class QTreeWidget;
class QTreeWidgetItem;

namespace adapter {

// The mode list's rows: "#" (order of arrival), ID and description, and a
// state image that marks the active mode. Texts show decoded but are kept
// as the adapter's own bytes: the ID is sent back, and rows sort by bytes.
class ModeList {
public:
    static constexpr int kNumberColumn = 0;
    static constexpr int kIdColumn = 1;
    static constexpr int kDescriptionColumn = 2;
    // The state image of a row that has none.
    static constexpr int kNoImage = -1;
    // The state image that marks the active mode.
    static constexpr int kActiveImage = 0;

    // Negative when the first row goes before the second, positive when after.
    using Comparison = std::function<int(const QTreeWidgetItem&, const QTreeWidgetItem&)>;

    // `stateImages` are the images a row's state image indexes.
    ModeList(QTreeWidget& view, QList<QIcon> stateImages);

    // Removes every row; no row is selected or marked any more.
    void clear();
    // A new row, without state image. The list is sorted once its number is
    // set, before the row holds its ID and description: the row goes in at
    // the place a stable sort of the whole list would give it then, which
    // costs a search, not a sort, per row.
    QTreeWidgetItem* append(const QByteArray& number, const QByteArray& id, const QByteArray& description);
    int count() const;
    QTreeWidgetItem* row(int index) const;

    static QByteArray idOf(const QTreeWidgetItem& row);
    // The bytes a row shows in `column`; none while the row does not hold them yet.
    static std::optional<QByteArray> textOf(const QTreeWidgetItem& row, int column);

    static int stateImage(const QTreeWidgetItem& row);
    void setStateImage(QTreeWidgetItem& row, int image);

    // Makes the row the focused one, without changing the selection.
    void focus(QTreeWidgetItem& row);
    // Makes the row the one selected row.
    void select(QTreeWidgetItem& row);
    // Scrolls the list so that the selected row is wholly visible.
    void showSelected();

    void setComparison(Comparison comparison) { comparison_ = std::move(comparison); }
    int compare(const QTreeWidgetItem& first, const QTreeWidgetItem& second) const;
    // Sorts every row with the comparison (a stable sort).
    void sort();

    // The row last selected by the user or marked as the active mode.
    QTreeWidgetItem* SelectedItem = nullptr;

private:
    void setText(QTreeWidgetItem& row, int column, const QByteArray& bytes);
    // Where a stable sort puts `row` among the rows of the list, which are sorted.
    int sortedPlace(const QTreeWidgetItem& row) const;
    // The row appended last was placed before it held its ID and description;
    // a sort now would move it to its place by them.
    void placeLastAppended();

    QTreeWidget& view_;
    QList<QIcon> stateImages_;
    QIcon noImage_;
    Comparison comparison_;
    QTreeWidgetItem* lastAppended_ = nullptr;
};

} // namespace adapter
