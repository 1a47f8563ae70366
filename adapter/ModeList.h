#pragma once

#include <QByteArray>

class QTreeWidget;
class QTreeWidgetItem;

namespace adapter {

// The mode list's rows: "#" (order of arrival), ID and description. The ID
// shows decoded but is kept as the adapter's own bytes, to be sent back.
class ModeList {
public:
    static constexpr int kNumberColumn = 0;
    static constexpr int kIdColumn = 1;
    static constexpr int kDescriptionColumn = 2;

    explicit ModeList(QTreeWidget& view);

    // Removes every row; no row is selected or marked any more.
    void clear();
    QTreeWidgetItem* append(const QByteArray& number, const QByteArray& id, const QByteArray& description);
    int count() const;
    static QByteArray idOf(const QTreeWidgetItem& row);
    // Scrolls the list so that the selected row is wholly visible.
    void showSelected();

    // The row last selected by the user or marked as the active mode.
    QTreeWidgetItem* SelectedItem = nullptr;

private:
    QTreeWidget& view_;
};

} // namespace adapter
