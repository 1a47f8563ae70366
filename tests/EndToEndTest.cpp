#include "support/RecordedBoxes.h"

#include "app/SettingsStore.h"
#include "app/UnitMain.h"
#include "adapter/Windows1251.h"
#include "app/UnitMainData.h"
#include "platform/FileDialog.h"
#include "sim/AdapterProfile.h"
#include "sim/SampleFiles.h"
#include "ui_UnitMain.h"

#include <QFile>

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

// Processes events until the window's exchange has ended (a limit for a hung one).
bool exchangeEnds(app::TfrmMain& window)
{
    return processEventsUntil([&] { return !window.exchange().isRunning(); }, 30000);
}

// Writes `bytes` to a new file `name` in `folder`; its path.
QString writeFile(const QTemporaryDir& folder, const QString& name, const QByteArray& bytes)
{
    const QString path = folder.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

// The simulator on a pseudo-terminal, with its path remembered as the
// program's port and listed through VELMORA_PORTS, and settings of its own.
class SimulatedSetup {
public:
    explicit SimulatedSetup(const QStringList& simulatorArguments)
        : previousHome_(qgetenv("XDG_CONFIG_HOME"))
        , previousPorts_(qgetenv("VELMORA_PORTS"))
    {
        simulator.start(QStringLiteral(ADAPTER_SIM_PATH), simulatorArguments);
        if (simulator.waitForReadyRead(10000))
            path = simulator.readLine().trimmed();
        qputenv("XDG_CONFIG_HOME", configHome_.path().toUtf8());
        qputenv("VELMORA_PORTS", path);
        app::initialiseUnitData();
        app::SettingsKeyPath = app::makerSettingsKeyPath();
        app::WriteStringSetting(QStringLiteral("Port"), path);
    }
    ~SimulatedSetup()
    {
        qputenv("XDG_CONFIG_HOME", previousHome_);
        qputenv("VELMORA_PORTS", previousPorts_);
        simulator.terminate();
        simulator.waitForFinished(5000);
    }
    // Ends the simulator; returns what it logged.
    QByteArray stop()
    {
        simulator.terminate();
        EXPECT_TRUE(simulator.waitForFinished(5000));
        EXPECT_EQ(simulator.exitCode(), 0);
        return simulator.readAllStandardError();
    }

    QProcess simulator;
    QByteArray path;

private:
    QTemporaryDir configHome_;
    QByteArray previousHome_;
    QByteArray previousPorts_;
};

} // namespace

// The program as a user runs it: system clock, udev and VELMORA_PORTS, and
// the simulator answering on a pseudo-terminal at the pace of its baud rate.
TEST(EndToEnd, TheProgramFindsSelectsSwitchesAndTestsTheSimulatedAdapterOnAPseudoTerminal)
{
    SimulatedSetup setup({QStringLiteral("--baud"), QStringLiteral("19200")});
    const QByteArray& path = setup.path;
    ASSERT_TRUE(path.startsWith("/dev/pts/")) << path.toStdString();
    RecordedBoxes boxes;
    {
        app::TfrmMain window;
        window.show();
        Ui::TfrmMain& ui = window.form();
        EXPECT_EQ(ui.cbCOM->currentText(), QString::fromUtf8(path + " (listed in VELMORA_PORTS)"));

        ui.btSearch->click();
        EXPECT_TRUE(exchangeEnds(window));
        EXPECT_EQ(boxes.count(), 0u);
        EXPECT_EQ(window.exchange().BaudIndex, 2); // 19200
        EXPECT_EQ(ui.edSerial->text(), "20417");
        EXPECT_EQ(ui.edVersion->text(), "2.14");
        ASSERT_EQ(ui.lvModes->topLevelItemCount(), 5);

        ui.lvModes->setCurrentItem(ui.lvModes->findItems(QStringLiteral("B7"), Qt::MatchExactly, 1).value(0));
        ui.btModeSelect->click();
        EXPECT_TRUE(exchangeEnds(window));
        EXPECT_EQ(ui.lvModes->selectedItems().value(0)->text(1), "B7");

        ui.cbPower->click();
        EXPECT_TRUE(exchangeEnds(window));
        EXPECT_FALSE(ui.cbPower->isChecked());
        EXPECT_TRUE(ui.cbPower->isEnabled());

        ui.btRunTest->click();
        EXPECT_TRUE(exchangeEnds(window));
        // The last line's line end shows when the empty line that closes the
        // block arrives in a later read, as it may on a line paced as this one.
        EXPECT_TRUE(ui.memLogTest->toPlainText().contains("Ext. power switch: Ok\nSelf-test passed"))
            << ui.memLogTest->toPlainText().toStdString();
        EXPECT_EQ(boxes.count(), 0u);
        window.close();
    }
    const QByteArray log = setup.stop();
    for (const char* event : {"command S", "active mode B7", "external power off", "command T"})
        EXPECT_TRUE(log.contains(event)) << event;
}

// An upload at the real pace of the line, on a port left at the kernel's
// defaults: the page numbers and data hold every byte a terminal left that
// way would swallow or translate (the request for page 17 is "." 0x11 0x00).
TEST(EndToEnd, TheProgramUploadsAnImageThatTheSimulatedBootloaderKeepsByteForByte)
{
    QTemporaryDir files;
    const QString kept = files.filePath(QStringLiteral("kept.rfw"));
    SimulatedSetup setup({QStringLiteral("--page-size"), QStringLiteral("64"), QStringLiteral("--keep-upload"), kept});
    ASSERT_TRUE(setup.path.startsWith("/dev/pts/")) << setup.path.toStdString();
    QByteArray image = sim::sampleFirmwareImage(64 * 40);
    image.replace(40, sim::kLineHazards.size(), sim::kLineHazards);         // the header
    image.replace(80, sim::kLineHazards.size(), sim::kLineHazards);         // page 0
    image.replace(80 + 64 * 19 + 9, sim::kLineHazards.size(), sim::kLineHazards); // page 19
    const QString imagePath = writeFile(files, QStringLiteral("image.rfw"), image);
    platform::setOpenFilePresenter([&](const platform::OpenFileRequest&) { return imagePath; });
    RecordedBoxes boxes;
    {
        app::TfrmMain window;
        window.show();
        Ui::TfrmMain& ui = window.form();
        ui.btSearch->click();
        EXPECT_TRUE(exchangeEnds(window));
        ui.btFW_File->click();
        ASSERT_TRUE(ui.btUpdateRun->isEnabled());
        ui.btUpdateRun->click();
        EXPECT_TRUE(exchangeEnds(window)) << ui.edUpdateSatus->text().toStdString();
        EXPECT_EQ(ui.edUpdateSatus->text(), "Updating firmware : Ok");
        EXPECT_EQ(ui.pbUpdateProgress->value(), ui.pbUpdateProgress->maximum());
        EXPECT_EQ(boxes.count(), 0u);
        window.close();
    }
    platform::setOpenFilePresenter({});
    const QByteArray log = setup.stop();
    EXPECT_TRUE(log.contains("command U"));
    EXPECT_TRUE(log.contains("upload complete: all 40 pages taken")) << log.toStdString();
    QFile keptFile(kept);
    ASSERT_TRUE(keptFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(keptFile.readAll(), image); // the header and every page, as the file holds them
}

// Replies, mode descriptions and a mode file that hold XON, XOFF, a lone CR,
// NUL, a lone LF and 0xFF cross a port left at the kernel's defaults unchanged.
TEST(EndToEnd, EveryByteOfRepliesAndOfAModeFileSurvivesASearchASelectionAndARepair)
{
    QTemporaryDir files;
    const QString keptModeFile = files.filePath(QStringLiteral("kept.rcm"));
    SimulatedSetup setup({QStringLiteral("--scenario"), QStringLiteral("eight-bit"), QStringLiteral("--keep-mode-file"),
                          keptModeFile});
    ASSERT_TRUE(setup.path.startsWith("/dev/pts/")) << setup.path.toStdString();
    QByteArray modeFile = sim::modeFile("C3", "Track day");
    modeFile.replace(60, sim::kLineHazards.size(), sim::kLineHazards);
    const QString modeFilePath = writeFile(files, QStringLiteral("track.rcm"), modeFile);
    platform::setOpenFilePresenter([&](const platform::OpenFileRequest&) { return modeFilePath; });
    const QByteArray signature = "VT2-" + sim::kLineHazards + "-91C0";
    const QByteArray description = "Eight-bit " + sim::kLineHazards + " mode";
    RecordedBoxes boxes;
    {
        app::TfrmMain window;
        window.show();
        Ui::TfrmMain& ui = window.form();

        ui.btSearch->click();
        ASSERT_TRUE(exchangeEnds(window));
        EXPECT_TRUE(window.ReplyLog->lines().contains("Signature: " + signature));
        EXPECT_EQ(ui.edSignature->text(), adapter::fromWindows1251(signature));

        QTreeWidgetItem* row = ui.lvModes->findItems(QStringLiteral("C9"), Qt::MatchExactly, 1).value(0);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->text(2), adapter::fromWindows1251(description));
        ui.lvModes->setCurrentItem(row);
        ui.btModeSelect->click();
        ASSERT_TRUE(exchangeEnds(window));
        ASSERT_FALSE(ui.lvModes->selectedItems().isEmpty());
        EXPECT_EQ(ui.lvModes->selectedItems().value(0)->text(1), "C9");
        EXPECT_EQ(ui.lvModes->selectedItems().value(0)->text(2), adapter::fromWindows1251(description));
        EXPECT_EQ(app::ReadStringSetting(QStringLiteral("Mode"), {}),
                  adapter::fromWindows1251("C9 - " + description).toUtf8());

        ui.rbAddMode->click();
        ui.btFW_File->click();
        ASSERT_TRUE(ui.btUpdateRun->isEnabled());
        ui.btUpdateRun->click();
        ASSERT_TRUE(exchangeEnds(window));
        EXPECT_TRUE(ui.lvModes->findItems(QStringLiteral("C3"), Qt::MatchExactly, 1).value(0) != nullptr);
        EXPECT_EQ(boxes.count(), 0u);
        window.close();
    }
    platform::setOpenFilePresenter({});
    const QByteArray log = setup.stop();
    EXPECT_TRUE(log.contains("active mode C9")) << log.toStdString();
    QFile kept(keptModeFile);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), modeFile);
}
