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
TEST(EndToEnd, TheProgramFindsTheSimulatedAdapterOnAPseudoTerminal)
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
        EXPECT_EQ(ui.lvModes->topLevelItemCount(), 5);
        window.close();
    }
    qputenv("XDG_CONFIG_HOME", previousHome);
    qputenv("VELMORA_PORTS", previousPorts);
    simulator.terminate();
    EXPECT_TRUE(simulator.waitForFinished(5000));
    EXPECT_EQ(simulator.exitCode(), 0);
    EXPECT_TRUE(simulator.readAllStandardError().contains("command S"));
}
