#include "support/WindowFixture.h"

namespace {

const std::string kPowerCommand = sim::kFirstPrefix + std::string("P");

class ExternalPower : public WindowFixture {};

} // namespace

TEST_F(ExternalPower, AClickThatClearsTheBoxSendsZeroAndTheReplySetsTheBox)
{
    searchAdapter();
    ASSERT_TRUE(ui().cbPower->isChecked());
    const std::string searched = written();
    const QStringList rows = modeRows();

    ui().cbPower->click();
    EXPECT_FALSE(ui().cbPower->isEnabled()); // until the adapter's answer is applied
    runExchange();

    EXPECT_EQ(written(), searched + kPowerCommand + "0");
    EXPECT_FALSE(ui().cbPower->isChecked());
    EXPECT_TRUE(ui().cbPower->isEnabled());
    EXPECT_EQ(ui().edPower->text(), "12.6");
    EXPECT_EQ(modeRows(), rows); // the reply carries no modes, and the list is kept
    EXPECT_EQ(boxes.count(), 0u);
    EXPECT_EQ(window->focusWidget(), ui().cbPower);
    EXPECT_TRUE(ui().memLog->toPlainText().endsWith("PW:Off\nUP:5A"));
}

TEST_F(ExternalPower, AClickThatTicksTheBoxSendsOneAndAnOffReplyClearsItAgain)
{
    searchAdapter(*sim::scenarioProfile("power-stuck"));
    ASSERT_FALSE(ui().cbPower->isChecked());
    ui().cbPower->click();
    EXPECT_TRUE(ui().cbPower->isChecked());
    runExchange();
    EXPECT_TRUE(written().ends_with(kPowerCommand + "1"));
    EXPECT_FALSE(ui().cbPower->isChecked());
    EXPECT_TRUE(ui().cbPower->isEnabled());
}

TEST_F(ExternalPower, NoReplyToTheValueLeavesTheBoxDisabledWithTheUsersTick)
{
    searchAdapter();
    simd2xx::attachAdapter(kAdapterSerial, *sim::scenarioProfile("silent"));
    ui().cbPower->click();
    runExchange();
    EXPECT_TRUE(written().ends_with(kPowerCommand + "0")); // sent after the countdown
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_TRUE(boxes.last().call.text.contains("Adapter is not found on Communication Port"));
    EXPECT_FALSE(ui().cbPower->isChecked());
    EXPECT_FALSE(ui().cbPower->isEnabled());
}

TEST_F(ExternalPower, ADisabledBoxStartsNothing)
{
    searchAdapter();
    const std::string searched = written();
    ui().cbPower->setEnabled(false);
    window->exchange().cbPowerClick(); // as the program's own change of the tick would
    EXPECT_FALSE(window->exchange().isRunning());
    EXPECT_EQ(written(), searched);
}
