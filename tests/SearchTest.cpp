#include "support/PseudoTerminal.h"
#include "support/WindowFixture.h"

#include "adapter/Exchange.h"
#include "sim/SampleFiles.h"

#include <QTemporaryDir>
#include <QTreeWidget>

using adapter::TExchange;
using simd2xx::Call;

namespace {

const QByteArray kFirst = sim::kFirstPrefix;
const QByteArray kSecond = sim::kSecondPrefix;
const QString kPortText = "USB:VM4A7C21 (Velmora VT-2)";

class Search : public WindowFixture {
protected:
    void startWith(const sim::AdapterProfile& profile)
    {
        startWithAdapter(profile);
        ASSERT_EQ(ui().cbCOM->currentText(), kPortText);
    }
    void expectIdentityEmpty()
    {
        for (QLineEdit* box : {ui().edSerial, ui().edSignature, ui().edVersion, ui().edHardware, ui().edCopyRight,
                               ui().edBootVer})
            EXPECT_TRUE(box->text().isEmpty()) << box->objectName().toStdString();
        EXPECT_EQ(ui().lvModes->topLevelItemCount(), 0);
        EXPECT_FALSE(ui().pcOptions->isTabVisible(ui().pcOptions->indexOf(ui().tsTest)));
        EXPECT_FALSE(ui().cbPower->isVisibleTo(window.get()));
    }
    // The specified text, and the line of guidance that follows it, if any.
    void expectNotFoundBox(const QString& guidance = {})
    {
        ASSERT_EQ(boxes.count(), 1u);
        const QString notFound = "Velmora Adapter is not found on Communication Port " + kPortText;
        EXPECT_EQ(boxes.last().call.text, guidance.isEmpty() ? notFound : notFound + "\n" + guidance);
        EXPECT_EQ(boxes.last().call.title, "Velmora Configurator Version 1.7.0.8 - Error...");
        EXPECT_EQ(boxes.last().call.flags, platform::kBoxIconError);
    }
    static std::string probes(const QByteArray& prefix, int count, char letter = 'I')
    {
        std::string bytes;
        for (int i = 0; i < count; ++i)
            bytes += (prefix + letter).toStdString();
        return bytes;
    }
};

} // namespace

TEST_F(Search, AnAdapterAnsweringTheFirstProbeFillsTheIdentityAndTheModeList)
{
    startWith(sim::standardProfile());
    search();

    EXPECT_EQ(written(), probes(kFirst, 1) + probes(kFirst, 1, 'S'));
    EXPECT_EQ(ui().edCopyRight->text(), "(c) 2026 Korvane, Velmora VT-2");
    EXPECT_EQ(ui().edSerial->text(), "20417");
    EXPECT_EQ(ui().edSignature->text(), "VT2-5F3A-91C0");
    EXPECT_EQ(ui().edVersion->text(), "2.14");
    EXPECT_EQ(ui().edHardware->text(), "3");
    EXPECT_EQ(ui().edBootVer->text(), "1.3");
    EXPECT_TRUE(ui().pcOptions->isTabVisible(ui().pcOptions->indexOf(ui().tsTest)));
    EXPECT_EQ(ui().edCopyRight->width(), 285); // narrowed for the power box, then by the bootloader line
    EXPECT_TRUE(ui().cbPower->isVisibleTo(window.get()));
    EXPECT_TRUE(ui().cbPower->isChecked());
    EXPECT_TRUE(ui().cbPower->isEnabled());
    EXPECT_EQ(ui().edPower->text(), "12.6");
    EXPECT_TRUE(ui().lbPower->isVisibleTo(window.get()));
    EXPECT_EQ(modeRows(), (QStringList{"00|00|Stock", "01|A1|Economy", "02|01|Stage 1", "03|02|Stage 2",
                                       "04|B7|Valet"}));
    EXPECT_EQ(window->ReplyParser->ModeIdLength, 2);
    // The log holds the reply to "I", then the reply to "S".
    const QStringList log = ui().memLog->toPlainText().split('\n');
    EXPECT_EQ(log.first(), "CR:(c) 2026 Korvane, Velmora VT-2");
    EXPECT_EQ(log.value(6), "CR:(c) 2026 Korvane, Velmora VT-2");
    EXPECT_EQ(log.last(), "Selected Mode: 01 - Stage 1");

    EXPECT_EQ(boxes.count(), 0u);
    EXPECT_FALSE(simd2xx::isOpen(kAdapterSerial));
    EXPECT_EQ(simd2xx::lastCommState(kAdapterSerial).BaudRate, 115200u);
    for (QWidget* control :
         std::initializer_list<QWidget*>{ui().btSearch, ui().cbCOM, ui().btRefresh, ui().btCopy, ui().lvModes})
        EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_EQ(window->focusWidget(), ui().lvModes);
}

TEST_F(Search, AnAdapterThatKnowsOnlyTheSecondPrefixIsFoundOnTheSixthTry)
{
    startWith(*sim::scenarioProfile("second-prefix"));
    search();
    EXPECT_EQ(written(), probes(kFirst, 5) + probes(kSecond, 1) + probes(kSecond, 1, 'S'));
    EXPECT_EQ(window->exchange().PrefixIndex, 1);
    EXPECT_EQ(window->exchange().BaudIndex, 0);
    EXPECT_EQ(ui().edSerial->text(), "20417");
}

TEST_F(Search, TheSearchTriesEachLineSettingAndKeepsTheOneThatAnswered)
{
    sim::AdapterProfile slow = sim::standardProfile();
    slow.line.baud = 9600;
    startWith(slow);
    search();
    EXPECT_EQ(written(), probes(kFirst, 4) + probes(kFirst, 1, 'S'));
    EXPECT_EQ(window->exchange().BaudIndex, 3);
    EXPECT_EQ(simd2xx::lastCommState(kAdapterSerial).BaudRate, 9600u);
    EXPECT_EQ(simd2xx::lastCommState(kAdapterSerial).ByteSize, 8);
}

TEST_F(Search, ASilentPortIsGivenUpAfterTenTriesOfAboutTwoHundredMilliseconds)
{
    startWith(*sim::scenarioProfile("silent"));
    ui().btSearch->click();
    const std::int64_t started = clock.nowMs();
    clock.advance(2000);
    EXPECT_EQ(boxes.count(), 0u);
    runExchange();
    const std::int64_t took = clock.nowMs() - started;
    EXPECT_GE(took, 2100);
    EXPECT_LE(took, 2300);

    expectNotFoundBox();
    EXPECT_EQ(written(), probes(kFirst, 5) + probes(kSecond, 5));
    expectIdentityEmpty();
    EXPECT_TRUE(ui().memLog->toPlainText().isEmpty());
    EXPECT_FALSE(ui().btCopy->isEnabled());
    EXPECT_FALSE(simd2xx::isOpen(kAdapterSerial));
}

TEST_F(Search, APortThatKeepsSendingIsGivenUpAtEachTryAndTheSearchEndsNotFound)
{
    const QString keptSending = "The port kept sending without a complete reply: another device may be connected "
                                "to it, or another program may be sending on it.";
    struct Case {
        const char* what;
        QByteArray first; // sent once, at the start of each try's wait
        QByteArray everyTick;
        std::int64_t triesWithinMs; // how long all ten tries may take at most
        qsizetype keptAtMost; // the most the exchange holds after a tick; a few ticks' worth pass while a probe leaves
    };
    const std::vector<Case> cases{
        {"a GPS receiver's sentences", "", "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n",
         10 * (TExchange::kMarkerTimeLimitMs + 100), 5 + 4 * 72},
        {"bytes without a line end", "", QByteArray(512, 'A'), 10 * (TExchange::kMarkerTimeLimitMs + 100),
         5 + 4 * 512},
        {"a block that grows fast and never ends", "\r\nCR:", QByteArray(64 * 1024, 'x'), 10 * 200,
         TExchange::kReplyByteLimit + 64 * 1024},
        {"a block that grows slowly and never ends", "\r\nCR:", QByteArray(40, 'x'),
         10 * (TExchange::kReplyTimeLimitMs + 100), 40 * TExchange::kReplyTimeLimitMs / 10 + 40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        resetD2xxLibrary();
        startWith(*sim::scenarioProfile("silent"));
        ui().btSearch->click();
        const std::int64_t started = clock.nowMs();
        std::size_t probesSeen = 0;
        qsizetype mostKept = 0;
        while (window->exchange().isRunning() && clock.nowMs() - started < 400000) {
            if (const std::size_t sent = written().size() / (kFirst.size() + 1); sent != probesSeen) {
                probesSeen = sent;
                simd2xx::receive(kAdapterSerial, c.first.toStdString());
            }
            simd2xx::receive(kAdapterSerial, c.everyTick.toStdString());
            clock.advance(10);
            mostKept = std::max(mostKept, window->exchange().RxText.size());
        }
        EXPECT_FALSE(window->exchange().isRunning());
        EXPECT_LE(clock.nowMs() - started, c.triesWithinMs);
        EXPECT_LE(mostKept, c.keptAtMost);
        expectNotFoundBox(keptSending);
        EXPECT_EQ(written(), probes(kFirst, 5) + probes(kSecond, 5));
        EXPECT_FALSE(simd2xx::isOpen(kAdapterSerial));
        restartProgram();
        boxes.clear();
    }
}

TEST_F(Search, AnAdapterAnsweringTheProbeButNotTheStatusIsNotFound)
{
    startWith(*sim::scenarioProfile("no-status"));
    search();
    expectNotFoundBox("The adapter answered the identity request, but not the status request.");
    expectIdentityEmpty(); // the log is never parsed
    EXPECT_TRUE(ui().memLog->toPlainText().startsWith("CR:(c) 2026 Korvane"));
    EXPECT_TRUE(ui().btCopy->isEnabled());
}

TEST_F(Search, NoiseAndRepliesCutIntoPiecesStillGiveTheWholeIdentity)
{
    for (const char* scenario : {"noise", "pieces"}) {
        SCOPED_TRACE(scenario);
        resetD2xxLibrary();
        startWith(*sim::scenarioProfile(scenario));
        search();
        EXPECT_EQ(boxes.count(), 0u);
        EXPECT_EQ(ui().edSignature->text(), "VT2-5F3A-91C0");
        EXPECT_EQ(modeRows().size(), 5);
        restartProgram();
    }
}

TEST_F(Search, AQueueThatNeverDrainsDelaysTheSearchBySecondsNotForever)
{
    startWith(sim::standardProfile());
    ui().btSearch->click();
    simd2xx::setOutputQueue(kAdapterSerial, 3); // after the open, which purges the queue
    const std::int64_t started = clock.nowMs();
    runExchange();
    EXPECT_GE(clock.nowMs() - started, 2 * adapter::TExchange::kDrainLimitMs);
    EXPECT_EQ(ui().edSerial->text(), "20417");
}

TEST_F(Search, APortThatDoesNotOpenEndsTheSearchWithTheDevicesOwnReport)
{
    startWith(sim::standardProfile());
    simd2xx::failCalls(Call::CreateFile, 3);
    ui().btSearch->click();
    EXPECT_FALSE(window->exchange().isRunning());
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes.last().call.title, "Open Port(USB:VM4A7C21) Error...");
    EXPECT_TRUE(ui().btSearch->isEnabled());
    EXPECT_TRUE(written().empty());
}

TEST_F(Search, WithNoPortSelectedNothingStarts)
{
    startWindow();
    ASSERT_EQ(ui().cbCOM->count(), 0);
    ui().btSearch->setEnabled(true);
    ui().btSearch->click();
    EXPECT_FALSE(window->exchange().isRunning());
    EXPECT_EQ(boxes.count(), 0u);
}

TEST_F(Search, ASearchReplacesWhatTheLastOneFound)
{
    startWith(sim::standardProfile());
    search();
    simd2xx::attachAdapter(kAdapterSerial, *sim::scenarioProfile("silent"));
    search();
    expectNotFoundBox();
    expectIdentityEmpty();
}

// Pulled out during a search, the port used to bring one box for each of
// the ten probes, then the not-found box.
TEST_F(Search, APortThatVanishesEndsTheSearchWithOneBox)
{
    PseudoTerminal line;
    setComPorts(std::vector{serdev::SerialPort{line.path(), "Pseudo-terminal", {}}});
    QJsonObject settings;
    settings.insert("Port", QString::fromLatin1(line.path()));
    storeSettings(settings);
    startWindow();
    ASSERT_EQ(ui().cbCOM->currentText().toLatin1(), line.path() + " (Pseudo-terminal)");

    ui().btSearch->click();
    clock.advance(TExchange::kTickMs * 3);
    ASSERT_EQ(line.receive(12), kFirst + "I");
    line.closeMaster();
    runExchange();

    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes.last().call.title, "Read Port(" + line.path() + ") Error...");
    EXPECT_TRUE(boxes.last().call.text.contains("plugged in"));
    EXPECT_FALSE(window->Device->IsOpen);
    EXPECT_TRUE(ui().btSearch->isEnabled());
    expectIdentityEmpty();
    clock.advance(5000);
    EXPECT_EQ(boxes.count(), 1u);
}

// An upload that did not end well leaves the adapter in its bootloader, where
// it answers no search; the box says what brings it back, until an upload does.
TEST_F(Search, AfterAnUploadThatDidNotEndWellTheBoxSaysTheAdapterMayBeInItsBootloader)
{
    sim::AdapterProfile profile = sim::standardProfile();
    profile.bootloader.silent = true;
    startWith(profile);
    search();
    QTemporaryDir files;
    const QString image = files.filePath("image.rfw");
    QFile file(image);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(sim::sampleFirmwareImage(1024));
    file.close();
    ui().edFW_File->setText(image);
    ui().btUpdateRun->click();
    clock.advance(5000); // the bootloader never answers
    ui().btUpdateRun->click(); // Stop
    runExchange();
    boxes.clear();

    search();
    expectNotFoundBox("An upload on this port was stopped or failed: the adapter may be waiting in its bootloader. "
                      "An upload with \"Do not Search\" ticked brings it back.");
}
