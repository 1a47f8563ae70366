#include "sim/AdapterCore.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using sim::AdapterCore;
using sim::LineSetting;

namespace {

const LineSetting kAdapterLine{115200, 'N', 8};
const QByteArray kProbe = QByteArray(sim::kFirstPrefix) + 'I';
const QByteArray kStatus = QByteArray(sim::kFirstPrefix) + 'S';

QByteArray command(char letter)
{
    return QByteArray(sim::kFirstPrefix) + letter;
}

// The blocks in `sent` (each CR LF, lines, CR LF CR LF), each one's lines joined by "|".
QByteArrayList blocks(QByteArray sent)
{
    QByteArrayList result;
    for (qsizetype end; (end = sent.indexOf("\r\n\r\n")) >= 0; sent.remove(0, end + 4))
        result << sent.left(end).mid(2).replace("\r\n", "|");
    return result;
}

} // namespace

TEST(SimulatedAdapter, AnswersAProbeWithAReplyBlockAtItsOwnLineSettingOnly)
{
    AdapterCore adapter(sim::standardProfile());
    EXPECT_TRUE(adapter.receive(kProbe, {38400, 'N', 8}, 0).isEmpty());
    EXPECT_TRUE(adapter.receive(kProbe, {115200, 'E', 8}, 0).isEmpty());

    const QByteArray reply = adapter.receive(kProbe, kAdapterLine, 0);
    EXPECT_TRUE(reply.startsWith("\r\nCR:"));
    EXPECT_TRUE(reply.endsWith("BW:1.3\r\n\r\n"));
    EXPECT_EQ(adapter.commandsHeard(), "I");
}

TEST(SimulatedAdapter, ACommandMayArriveInPiecesButNotAcrossAChangeOfLine)
{
    AdapterCore adapter(sim::standardProfile());
    EXPECT_TRUE(adapter.receive("junk!zatTP", kAdapterLine, 0).isEmpty());
    EXPECT_FALSE(adapter.receive("N_UD_I", kAdapterLine, 0).isEmpty());

    EXPECT_TRUE(adapter.receive("!zatTPN_UD_", kAdapterLine, 0).isEmpty());
    EXPECT_TRUE(adapter.receive("S", {9600, 'N', 8}, 0).isEmpty());
    EXPECT_TRUE(adapter.receive("S", kAdapterLine, 0).isEmpty()); // the prefix was lost with the garbled byte
    EXPECT_EQ(adapter.commandsHeard(), "I");
}

TEST(SimulatedAdapter, TheStatusNamesThePowerTheVoltageTheModesAndTheActiveOne)
{
    AdapterCore adapter(sim::standardProfile());
    EXPECT_EQ(blocks(adapter.receive(kStatus, kAdapterLine, 0)),
              QByteArrayList{"CR:(c) 2026 Korvane, Velmora VT-2|PW:On|UP:5A|00 - Stock|A1 - Economy|01 - Stage 1|"
                             "02 - Stage 2|B7 - Valet|Selected Mode: 01 - Stage 1"});
}

TEST(SimulatedAdapter, SelectingAModeTakesItsIdAsTheDataStepAndAnswersWithTheNewStatus)
{
    AdapterCore adapter(sim::standardProfile());
    EXPECT_EQ(blocks(adapter.receive(command('M'), kAdapterLine, 0)),
              QByteArrayList{"CR:(c) 2026 Korvane, Velmora VT-2|Mode?"});
    EXPECT_TRUE(adapter.receive("B", kAdapterLine, 0).isEmpty()); // could still become B7
    const QByteArrayList answer = blocks(adapter.receive("7", kAdapterLine, 0));
    ASSERT_EQ(answer.size(), 1);
    EXPECT_TRUE(answer[0].endsWith("|B7 - Valet|Selected Mode: B7 - Valet"));
    EXPECT_EQ(adapter.activeMode(), "B7");

    // An ID it does not list is no data step: the bytes count as commands again.
    adapter.receive(command('M'), kAdapterLine, 0);
    EXPECT_TRUE(adapter.receive("9" + kStatus, kAdapterLine, 0).endsWith("Selected Mode: B7 - Valet\r\n\r\n"));
    EXPECT_EQ(adapter.activeMode(), "B7");
    EXPECT_EQ(adapter.commandsHeard(), "MMS");
}

TEST(SimulatedAdapter, ThePowerValueSwitchesTheExternalPowerUnlessItIsStuck)
{
    AdapterCore adapter(sim::standardProfile());
    adapter.receive(command('P'), kAdapterLine, 0);
    EXPECT_EQ(blocks(adapter.receive("0", kAdapterLine, 0)),
              QByteArrayList{"CR:(c) 2026 Korvane, Velmora VT-2|PW:Off|UP:5A"});
    EXPECT_EQ(adapter.externalPower(), false);

    AdapterCore stuck(*sim::scenarioProfile("power-stuck"));
    stuck.receive(command('P'), kAdapterLine, 0);
    EXPECT_TRUE(stuck.receive("1", kAdapterLine, 0).contains("\r\nPW:Off\r\n"));
    EXPECT_EQ(stuck.externalPower(), false);

    sim::AdapterProfile quiet = sim::standardProfile();
    quiet.promptsForData = false;
    AdapterCore unprompted(quiet);
    EXPECT_TRUE(unprompted.receive(command('P'), kAdapterLine, 0).isEmpty());
    EXPECT_TRUE(unprompted.receive("0", kAdapterLine, 0).contains("\r\nPW:Off\r\n"));
}

TEST(SimulatedAdapter, TheSelfTestReportsOneLineAtATimeAndEndsItsBlock)
{
    AdapterCore adapter(sim::standardProfile());
    EXPECT_EQ(adapter.receive(command('T'), kAdapterLine, 1000), "\r\nCR:(c) 2026 Korvane, Velmora VT-2\r\n");
    EXPECT_EQ(adapter.nextSendMs(), 1125);
    EXPECT_TRUE(adapter.takeSent(1124).isEmpty());
    EXPECT_EQ(adapter.takeSent(1125), "Self-test started\r\n");
    const QByteArray rest = adapter.takeSent(2000);
    EXPECT_TRUE(rest.startsWith("Supply voltage: 12.6 V\r\n"));
    EXPECT_TRUE(rest.endsWith("Ext. power switch: Ok\r\nSelf-test passed\r\n\r\n"));
    EXPECT_FALSE(adapter.nextSendMs().has_value());

    // A reply asked for during the test follows the test's output.
    adapter.receive(command('T'), kAdapterLine, 3000);
    EXPECT_TRUE(adapter.receive(kStatus, kAdapterLine, 3000).isEmpty());
    EXPECT_TRUE(adapter.takeSent(4000).endsWith("Selected Mode: 01 - Stage 1\r\n\r\n"));
}

TEST(SimulatedAdapter, ScenariosChangeWhatIsAnswered)
{
    const QByteArray secondProbe = QByteArray(sim::kSecondPrefix) + 'I';

    AdapterCore secondOnly(*sim::scenarioProfile("second-prefix"));
    EXPECT_TRUE(secondOnly.receive(kProbe, kAdapterLine, 0).isEmpty());
    EXPECT_FALSE(secondOnly.receive(secondProbe, kAdapterLine, 0).isEmpty());

    AdapterCore noStatus(*sim::scenarioProfile("no-status"));
    EXPECT_FALSE(noStatus.receive(kProbe, kAdapterLine, 0).isEmpty());
    EXPECT_TRUE(noStatus.receive(kStatus, kAdapterLine, 0).isEmpty());

    AdapterCore silent(*sim::scenarioProfile("silent"));
    EXPECT_TRUE(silent.receive(kProbe + kStatus, kAdapterLine, 0).isEmpty());

    AdapterCore noisy(*sim::scenarioProfile("noise"));
    EXPECT_FALSE(noisy.receive(kProbe, kAdapterLine, 0).startsWith("\r\n"));

    AdapterCore stopping(*sim::scenarioProfile("test-stops"));
    stopping.receive(command('T'), kAdapterLine, 0);
    const QByteArray output = stopping.takeSent(60000);
    EXPECT_TRUE(output.endsWith("Flash: Ok\r\n")); // four of its eight lines, and no end
    EXPECT_FALSE(output.contains("CAN bus"));

    EXPECT_FALSE(sim::scenarioProfile("no-such").has_value());
}

TEST(SimulatedAdapter, LineSettingsAreWrittenAsTheConfiguratorWritesThem)
{
    EXPECT_EQ(sim::lineSettingText({9600, 'E', 7}), "9600,E,7");
}
