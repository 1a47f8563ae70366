#include "sim/AdapterCore.h"

#include <gtest/gtest.h>

using sim::AdapterCore;
using sim::LineSetting;

namespace {

const LineSetting kAdapterLine{115200, 'N', 8};
const QByteArray kProbe = QByteArray(sim::kFirstPrefix) + 'I';

} // namespace

TEST(SimulatedAdapter, AnswersAProbeWithAReplyBlockAtItsOwnLineSettingOnly)
{
    AdapterCore adapter(sim::standardProfile());
    EXPECT_TRUE(adapter.receive(kProbe, {38400, 'N', 8}).isEmpty());
    EXPECT_TRUE(adapter.receive(kProbe, {115200, 'E', 8}).isEmpty());

    const QByteArray reply = adapter.receive(kProbe, kAdapterLine);
    EXPECT_TRUE(reply.startsWith("\r\nCR:"));
    EXPECT_TRUE(reply.endsWith("BW:1.3\r\n\r\n"));
    EXPECT_EQ(adapter.commandsHeard(), "I");
}

TEST(SimulatedAdapter, ACommandMayArriveInPiecesButNotAcrossAChangeOfLine)
{
    AdapterCore adapter(sim::standardProfile());
    EXPECT_TRUE(adapter.receive("junk!zatTP", kAdapterLine).isEmpty());
    EXPECT_FALSE(adapter.receive("N_UD_I", kAdapterLine).isEmpty());

    EXPECT_TRUE(adapter.receive("!zatTPN_UD_", kAdapterLine).isEmpty());
    EXPECT_TRUE(adapter.receive("S", {9600, 'N', 8}).isEmpty());
    EXPECT_TRUE(adapter.receive("S", kAdapterLine).isEmpty()); // the prefix was lost with the garbled byte
    EXPECT_EQ(adapter.commandsHeard(), "I");
}

TEST(SimulatedAdapter, ScenariosChangeWhatIsAnswered)
{
    const QByteArray secondProbe = QByteArray(sim::kSecondPrefix) + 'I';
    const QByteArray status = QByteArray(sim::kFirstPrefix) + 'S';

    AdapterCore secondOnly(*sim::scenarioProfile("second-prefix"));
    EXPECT_TRUE(secondOnly.receive(kProbe, kAdapterLine).isEmpty());
    EXPECT_FALSE(secondOnly.receive(secondProbe, kAdapterLine).isEmpty());

    AdapterCore noStatus(*sim::scenarioProfile("no-status"));
    EXPECT_FALSE(noStatus.receive(kProbe, kAdapterLine).isEmpty());
    EXPECT_TRUE(noStatus.receive(status, kAdapterLine).isEmpty());

    AdapterCore silent(*sim::scenarioProfile("silent"));
    EXPECT_TRUE(silent.receive(kProbe + status, kAdapterLine).isEmpty());

    AdapterCore noisy(*sim::scenarioProfile("noise"));
    EXPECT_FALSE(noisy.receive(kProbe, kAdapterLine).startsWith("\r\n"));

    EXPECT_FALSE(sim::scenarioProfile("no-such").has_value());
}

TEST(SimulatedAdapter, LineSettingsAreWrittenAsTheConfiguratorWritesThem)
{
    EXPECT_EQ(sim::lineSettingText({9600, 'E', 7}), "9600,E,7");
}
