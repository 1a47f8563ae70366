#include "adapter/ModeList.h"

#include <QTreeWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

using adapter::ModeList;

namespace {

struct Row {
    QByteArray number, id, description;
};

// Rows that compare on one column, the way the window's comparison does: a
// row that does not hold the column yet compares equal to every row.
int compareOn(bool descending, const std::optional<QByteArray>& a, const std::optional<QByteArray>& b)
{
    const int result = a && b ? (*a < *b ? -1 : (*b < *a ? 1 : 0)) : 0;
    return descending ? -result : result;
}

// The order the list had when every new row made it sort again, once the row
// held its number but not yet its ID and description.
std::vector<QByteArray> resortedEachTime(const std::vector<Row>& arrivals, int column, bool descending)
{
    struct Held {
        Row row;
        bool complete = false;
    };
    std::vector<Held> list;
    const auto text = [column](const Held& held) -> std::optional<QByteArray> {
        if (column == ModeList::kNumberColumn)
            return held.row.number;
        if (!held.complete)
            return std::nullopt;
        return column == ModeList::kIdColumn ? held.row.id : held.row.description;
    };
    for (const Row& row : arrivals) {
        list.push_back({row, false});
        std::stable_sort(list.begin(), list.end(), [&](const Held& a, const Held& b) {
            return compareOn(descending, text(a), text(b)) < 0;
        });
        std::find_if(list.begin(), list.end(), [&](const Held& h) { return h.row.number == row.number; })
            ->complete = true;
    }
    std::vector<QByteArray> numbers;
    for (const Held& held : list)
        numbers.push_back(held.row.number);
    return numbers;
}

} // namespace

TEST(ModeListOrder, RowsGoInWhereSortingTheWholeListAfterEachRowWouldPutThem)
{
    // IDs and descriptions out of order, with repeats, so that equal rows keep their order of arrival.
    std::vector<Row> arrivals;
    for (int n = 0; n < 40; ++n)
        arrivals.push_back({QByteArray::number(n).rightJustified(2, '0'), QByteArray::number((n * 7) % 11),
                            "Map " + QByteArray::number((n * 13) % 5)});

    for (const int column : {ModeList::kNumberColumn, ModeList::kIdColumn, ModeList::kDescriptionColumn}) {
        for (const bool descending : {false, true}) {
            SCOPED_TRACE(testing::Message() << "column " << column << (descending ? " down" : " up"));
            QTreeWidget view;
            view.setColumnCount(3);
            ModeList list(view, {});
            list.setComparison([&](const QTreeWidgetItem& a, const QTreeWidgetItem& b) {
                return compareOn(descending, ModeList::textOf(a, column), ModeList::textOf(b, column));
            });
            for (const Row& row : arrivals)
                list.append(row.number, row.id, row.description);

            std::vector<QByteArray> numbers;
            for (int i = 0; i < list.count(); ++i)
                numbers.push_back(*ModeList::textOf(*list.row(i), ModeList::kNumberColumn));
            EXPECT_EQ(numbers, resortedEachTime(arrivals, column, descending));
        }
    }
}
