#include "support/WindowFixture.h"

#include <QHeaderView>
#include <QTest>

namespace {

constexpr int kId = 1;
constexpr int kDescription = 2;

class ModeSorting : public WindowFixture {
protected:
    void clickHeader(int column)
    {
        QHeaderView& header = *ui().lvModes->header();
        const QPoint middle(header.sectionViewportPosition(column) + header.sectionSize(column) / 2,
                            header.height() / 2);
        QTest::mouseClick(header.viewport(), Qt::LeftButton, {}, middle);
    }
    // The rows' texts in `column`, in list order.
    QStringList column(int index)
    {
        QStringList texts;
        for (int i = 0; i < ui().lvModes->topLevelItemCount(); ++i)
            texts << ui().lvModes->topLevelItem(i)->text(index);
        return texts;
    }
    void closeWindow() { window->close(); }
};

const QStringList kIdsAscending{"00", "01", "02", "A1", "B7"};
const QStringList kIdsDescending{"B7", "A1", "02", "01", "00"};

} // namespace

TEST_F(ModeSorting, ClicksOnOneColumnSortUpThenDownAndAnotherColumnStartsUpAgain)
{
    searchAdapter();
    EXPECT_EQ(column(0), (QStringList{"00", "01", "02", "03", "04"})); // arrival order by "#"

    clickHeader(kId);
    EXPECT_EQ(column(kId), kIdsAscending);
    clickHeader(kId);
    EXPECT_EQ(column(kId), kIdsDescending);
    EXPECT_EQ(window->SortDescending, 1);
    clickHeader(kDescription);
    EXPECT_EQ(column(kDescription), (QStringList{"Economy", "Stage 1", "Stage 2", "Stock", "Valet"}));
    EXPECT_EQ(window->SortColumn, kDescription);
    EXPECT_EQ(window->SortDescending, 0);

    // The active row stays selected wherever it moved to.
    EXPECT_EQ(ui().lvModes->selectedItems().value(0)->text(kId), "01");
}

TEST_F(ModeSorting, TheOrderIsStoredAtCloseAndAppliedToTheNextSearch)
{
    searchAdapter();
    clickHeader(kId);
    clickHeader(kId);
    closeWindow();
    EXPECT_EQ(storedSettings().value("SortCol").toInt(), kId);
    EXPECT_EQ(storedSettings().value("SortDir").toInt(), 1);

    restartProgram();
    searchAdapter();
    // Rows sort in as they arrive, before they hold an ID; the search's end settles them.
    EXPECT_EQ(column(kId), kIdsDescending);
}

TEST_F(ModeSorting, AStoredDirectionOfSevenSortsDownAndOneClickTurnsItUp)
{
    storeSettings({{"SortCol", kId}, {"SortDir", 7}, {"Port", QString::fromLatin1(kAdapterPort)}});
    attachAdapter(sim::standardProfile());
    startWindow();
    search();
    EXPECT_EQ(column(kId), kIdsDescending);
    clickHeader(kId);
    EXPECT_EQ(window->SortDescending, 0);
    EXPECT_EQ(column(kId), kIdsAscending);
}

TEST_F(ModeSorting, AClickOnAnEmptyListChangesNothingAlsoNotWhatIsStored)
{
    storeSettings({{"SortCol", kDescription}, {"SortDir", 7}});
    startWindow();
    clickHeader(kId);
    EXPECT_EQ(window->SortColumn, kDescription);
    EXPECT_EQ(window->SortDescending, 7);
    closeWindow();
    EXPECT_EQ(storedSettings().value("SortCol").toInt(), kDescription);
    EXPECT_EQ(storedSettings().value("SortDir").toInt(), 7);
}

TEST_F(ModeSorting, AStoredColumnThatIsNoColumnStartsByNumberAndIsStoredAsSuch)
{
    for (const int stored : {3, -1}) {
        storeSettings({{"SortCol", stored}});
        startWindow();
        EXPECT_EQ(window->SortColumn, 0) << stored;
        EXPECT_EQ(storedSettings().value("SortCol").toInt(), 0) << stored;
        restartProgram();
    }
}

TEST_F(ModeSorting, AClickWithNoRowSelectedSortsAndSelectsNothing)
{
    sim::AdapterProfile profile = sim::standardProfile();
    profile.activeMode.clear();
    startWithAdapter(profile);
    search();
    clickHeader(kId);
    EXPECT_EQ(column(kId), kIdsAscending);
    EXPECT_TRUE(ui().lvModes->selectedItems().isEmpty());
}
