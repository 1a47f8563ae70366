#include "support/RecordedBoxes.h"

#include "app/SettingsStore.h"
#include "app/UnitMain.h"
#include "app/UnitMainData.h"
#include "ui_UnitMain.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Processes events until `done` holds or the limit passes; true when it holds.
template <typename Condition> bool processEventsUntil(Condition done, int limitMs)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!done() && elapsed.elapsed() < limitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

} // namespace

// The program as a user runs it: system clock, udev and VELMORA_PORTS, and
// the simulator answering on a pseudo-terminal at the pace of its baud rate.
TEST(EndToEnd, TheProgramFindsSelectsSwitchesAndTestsTheSimulatedAdapterOnAPseudoTerminal)
{
    QProcess simulator;
    simulator.start(QStringLiteral(ADAPTER_SIM_PATH), {QStringLiteral("--baud"), QStringLiteral("19200")});
    ASSERT_TRUE(simulator.waitForReadyRead(10000)) << "the simulator printed no path";
    const QByteArray path = simulator.readLine().trimmed();
    ASSERT_TRUE(path.startsWith("/dev/pts/")) << path.toStdString();

    QTemporaryDir configHome;
    const QByteArray previousHome = qgetenv("XDG_CONFIG_HOME");
    const QByteArray previousPorts = qgetenv("VELMORA_PORTS");
    qputenv("XDG_CONFIG_HOME", configHome.path().toUtf8());
    qputenv("VELMORA_PORTS", path);
    RecordedBoxes boxes;
    app::initialiseUnitData();
    app::SettingsKeyPath = app::makerSettingsKeyPath();
    app::WriteStringSetting(QStringLiteral("Port"), path);
    {
        app::TfrmMain window;
        window.show();
        Ui::TfrmMain& ui = window.form();
        EXPECT_EQ(ui.cbCOM->currentText(), QString::fromUtf8(path + " (listed in VELMORA_PORTS)"));

        ui.btSearch->click();
        EXPECT_TRUE(processEventsUntil([&] { return !window.exchange().isRunning(); }, 20000));
        EXPECT_EQ(boxes.count(), 0u);
        EXPECT_EQ(window.exchange().BaudIndex, 2); // 19200
        EXPECT_EQ(ui.edSerial->text(), "20417");
        EXPECT_EQ(ui.edVersion->text(), "2.14");
        ASSERT_EQ(ui.lvModes->topLevelItemCount(), 5);
        const auto exchangeEnds = [&] {
            return processEventsUntil([&] { return !window.exchange().isRunning(); }, 20000);
        };

        ui.lvModes->setCurrentItem(ui.lvModes->findItems(QStringLiteral("B7"), Qt::MatchExactly, 1).value(0));
        ui.btModeSelect->click();
        EXPECT_TRUE(exchangeEnds());
        EXPECT_EQ(ui.lvModes->selectedItems().value(0)->text(1), "B7");

        ui.cbPower->click();
        EXPECT_TRUE(exchangeEnds());
        EXPECT_FALSE(ui.cbPower->isChecked());
        EXPECT_TRUE(ui.cbPower->isEnabled());

        ui.btRunTest->click();
        EXPECT_TRUE(exchangeEnds());
        EXPECT_TRUE(ui.memLogTest->toPlainText().endsWith("Ext. power switch: Ok\nSelf-test passed"));
        EXPECT_EQ(boxes.count(), 0u);
        window.close();
    }
    qputenv("XDG_CONFIG_HOME", previousHome);
    qputenv("VELMORA_PORTS", previousPorts);
    simulator.terminate();
    EXPECT_TRUE(simulator.waitForFinished(5000));
    EXPECT_EQ(simulator.exitCode(), 0);
    const QByteArray log = simulator.readAllStandardError();
    for (const char* event : {"command S", "active mode B7", "external power off", "command T"})
        EXPECT_TRUE(log.contains(event)) << event;
}
