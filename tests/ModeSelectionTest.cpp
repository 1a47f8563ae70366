#include "support/WindowFixture.h"

#include "adapter/ModeList.h"
#include "adapter/ReplyParser.h"

#include <QKeyEvent>
#include <QTest>

using adapter::ModeList;

namespace {

const QByteArray kFirst = sim::kFirstPrefix;

class ModeSelection : public WindowFixture {
protected:
    QTreeWidgetItem* rowWithId(const QString& id)
    {
        for (int i = 0; i < ui().lvModes->topLevelItemCount(); ++i)
            if (ui().lvModes->topLevelItem(i)->text(ModeList::kIdColumn) == id)
                return ui().lvModes->topLevelItem(i);
        return nullptr;
    }
    // The IDs of the rows that carry the active mode's marker.
    QStringList markedIds()
    {
        QStringList ids;
        for (int i = 0; i < ui().lvModes->topLevelItemCount(); ++i)
            if (ModeList::stateImage(*ui().lvModes->topLevelItem(i)) == ModeList::kActiveImage)
                ids << ui().lvModes->topLevelItem(i)->text(ModeList::kIdColumn);
        return ids;
    }
    QString selectedId()
    {
        const QList<QTreeWidgetItem*> selected = ui().lvModes->selectedItems();
        return selected.size() == 1 ? selected[0]->text(ModeList::kIdColumn) : QString();
    }
    void choose(const QString& id) { ui().lvModes->setCurrentItem(rowWithId(id)); }
    QString storedMode() { return storedSettings().value("Mode").toString(); }
    void press(Qt::Key key, const QString& text)
    {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(ui().lvModes, &event);
    }
};

} // namespace

TEST_F(ModeSelection, ASearchMarksSelectsAndFocusesTheActiveModeAndStoresIt)
{
    searchAdapter();
    EXPECT_EQ(markedIds(), QStringList{"01"});
    EXPECT_EQ(selectedId(), "01");
    EXPECT_EQ(ui().lvModes->currentItem(), rowWithId("01"));
    EXPECT_EQ(window->Modes->SelectedItem, rowWithId("01"));
    EXPECT_FALSE(ui().btModeSelect->isEnabled());
    EXPECT_EQ(storedMode(), "01 - Stage 1"); // the whole rest of the line, not only the ID
    EXPECT_FALSE(rowWithId("01")->icon(ModeList::kNumberColumn).isNull());
}

TEST_F(ModeSelection, SelectIsEnabledExactlyForARowThatIsNotTheActiveMode)
{
    searchAdapter();
    choose("A1");
    EXPECT_EQ(window->Modes->SelectedItem, rowWithId("A1"));
    EXPECT_TRUE(ui().btModeSelect->isEnabled());
    choose("01");
    EXPECT_FALSE(ui().btModeSelect->isEnabled());
}

TEST_F(ModeSelection, SelectSendsTheCommandThenTheIdAndMarksTheModeTheAdapterReports)
{
    searchAdapter();
    const std::string searched = written();
    choose("B7");
    ui().btModeSelect->click();
    clock.advance(10);
    EXPECT_FALSE(ui().lvModes->isEnabled());
    EXPECT_FALSE(ui().btModeSelect->isEnabled());
    runExchange();

    EXPECT_EQ(written(), searched + (kFirst + "M").toStdString() + "B7");
    EXPECT_EQ(boxes.count(), 0u);
    EXPECT_EQ(modeRows().size(), 5); // rebuilt, not added to
    EXPECT_EQ(markedIds(), QStringList{"B7"});
    EXPECT_EQ(selectedId(), "B7");
    EXPECT_FALSE(ui().btModeSelect->isEnabled());
    EXPECT_EQ(storedMode(), "B7 - Valet");
    // The log holds only the answer to the ID.
    EXPECT_TRUE(ui().memLog->toPlainText().endsWith("Selected Mode: B7 - Valet"));
    EXPECT_FALSE(ui().memLog->toPlainText().contains("Mode?"));
    EXPECT_EQ(window->focusWidget(), ui().lvModes);
    EXPECT_TRUE(ui().lvModes->isEnabled());
}

TEST_F(ModeSelection, TheIdIsSentAfterTheCountdownWhenTheSelectCommandIsNotAnswered)
{
    sim::AdapterProfile quiet = sim::standardProfile();
    quiet.promptsForData = false;
    searchAdapter(quiet);
    choose("02");
    const std::string searched = written();
    ui().btModeSelect->click();
    clock.advance(150);
    EXPECT_EQ(written(), searched + (kFirst + "M").toStdString()); // still waiting for an answer
    runExchange();
    EXPECT_TRUE(written().ends_with("02"));
    EXPECT_EQ(markedIds(), QStringList{"02"});
}

TEST_F(ModeSelection, TheActiveRowStartsNothingByButtonDoubleClickEnterOrSpace)
{
    searchAdapter();
    const std::string searched = written();
    window->exchange().btModeSelectClick();
    QTest::mouseDClick(ui().lvModes->viewport(), Qt::LeftButton, {},
                       ui().lvModes->visualItemRect(rowWithId("01")).center());
    press(Qt::Key_Return, "\r");
    press(Qt::Key_Space, " ");
    EXPECT_FALSE(window->exchange().isRunning());
    EXPECT_EQ(written(), searched);
}

TEST_F(ModeSelection, EnterOrSpaceOnAnotherRowSelectsIt)
{
    for (const auto& [key, text] : {std::pair{Qt::Key_Return, "\r"}, std::pair{Qt::Key_Space, " "}}) {
        searchAdapter();
        choose("00");
        press(key, text);
        EXPECT_TRUE(window->exchange().isRunning()) << text;
        runExchange();
        EXPECT_EQ(markedIds(), QStringList{"00"}) << text;
        restartProgram();
    }
}

TEST_F(ModeSelection, AReleaseOfTheMouseSelectsTheChosenRowAgain)
{
    searchAdapter();
    choose("A1");
    ui().lvModes->clearSelection(); // as a click beside the rows does
    EXPECT_EQ(window->Modes->SelectedItem, rowWithId("A1"));
    QTest::mouseRelease(ui().lvModes->viewport(), Qt::LeftButton, {}, QPoint(5, 125));
    EXPECT_EQ(selectedId(), "A1");
}

TEST_F(ModeSelection, ASelectedModeLineThatNamesNoRowMarksNothingAndStoresNothing)
{
    sim::AdapterProfile unlisted = sim::standardProfile();
    unlisted.activeMode = "99";
    searchAdapter(unlisted);
    EXPECT_TRUE(markedIds().isEmpty());
    EXPECT_TRUE(selectedId().isEmpty());
    EXPECT_EQ(window->Modes->SelectedItem, nullptr);
    EXPECT_FALSE(storedSettings().contains("Mode"));
}

TEST_F(ModeSelection, TheActiveModeIsReadWithTheLengthOfTheLastModeLinesId)
{
    struct Case {
        QList<sim::Mode> modes;
        QStringList marked;
    };
    const std::vector<Case> cases{
        // last ID of two: "01" is read and found
        {{{"B", "Valet"}, {"A12", "Track"}, {"01", "Stage 1"}}, {"01"}},
        // last ID of three: "01 " is read, which names no row
        {{{"B", "Valet"}, {"01", "Stage 1"}, {"A12", "Track"}}, {}},
    };
    for (const Case& c : cases) {
        sim::AdapterProfile profile = sim::standardProfile();
        profile.modes = c.modes;
        profile.activeMode = "01";
        searchAdapter(profile);
        EXPECT_EQ(markedIds(), c.marked);
        restartProgram();
    }
}

TEST_F(ModeSelection, AReplyWithoutASelectedModeLineLeavesNoRowChosen)
{
    sim::AdapterProfile profile = sim::standardProfile();
    profile.activeMode.clear();
    searchAdapter(profile);
    EXPECT_EQ(modeRows().size(), 5);
    EXPECT_TRUE(markedIds().isEmpty());
    EXPECT_TRUE(selectedId().isEmpty());
    EXPECT_EQ(window->Modes->SelectedItem, nullptr);
    EXPECT_FALSE(ui().btModeSelect->isEnabled());
}

TEST_F(ModeSelection, AReplyNamingTheActiveModeManyTimesStoresWhatTheLastMatchNamesOnce)
{
    searchAdapter();
    std::vector<QByteArray> stored;
    const adapter::CopyRightWidths widths;
    adapter::TReplyParser parser(ui(), *window->Modes, widths,
                                 [&](const QByteArray& text) { stored.push_back(text); });
    QByteArrayList log{"00 - Stock", "A1 - Economy"};
    for (int i = 0; i < 300; ++i)
        log.append("Selected Mode: 00 - Stock");
    log.append("Selected Mode: 99 - Unlisted"); // matches nothing: stores nothing
    log.append("Selected Mode: A1 - Economy");
    window->Modes->clear();
    parser.ApplyReplyLog(log, nullptr);

    EXPECT_EQ(stored, std::vector<QByteArray>{"A1 - Economy"});
    EXPECT_EQ(markedIds(), QStringList{"A1"});
}

TEST_F(ModeSelection, AnActiveModeThatCannotBeStoredIsReportedAndStillMarked)
{
    startWithAdapter(sim::standardProfile());
    // Put a file where the settings folder belongs, so that no write can succeed.
    QDir(configHome()).removeRecursively();
    QDir().mkpath(configHome());
    QFile blocker(configHome() + "/velmora-configurator");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    search();
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes.last().call.title, "Velmora Configurator Version 1.7.0.8 - Error...");
    EXPECT_TRUE(boxes.last().call.text.startsWith("Failed to set data for 'Mode'"));
    EXPECT_EQ(markedIds(), QStringList{"01"});
    EXPECT_FALSE(window->exchange().isRunning());
    EXPECT_FALSE(simd2xx::isOpen(kAdapterSerial));
}
