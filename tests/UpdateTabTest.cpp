#include "support/UnreadableFile.h"
#include "support/UploadFixture.h"
#include "support/WindowFixture.h"

#include "platform/FileDialog.h"

#include <array>

namespace {

// The Update tab of the real window, with the file dialog answered by the test.
class UpdateTab : public WindowFixture {
protected:
    UpdateTab()
    {
        platform::setOpenFilePresenter([this](const platform::OpenFileRequest& request) {
            dialogs.push_back(request);
            return dialogAnswer;
        });
    }
    ~UpdateTab() override { platform::setOpenFilePresenter({}); }

    QString writeFile(const QByteArray& bytes, const QString& name)
    {
        const QString path = files.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return path;
    }
    // Picks `path` through the "..." button.
    void choose(const QString& path)
    {
        dialogAnswer = path;
        ui().btFW_File->click();
    }
    void chooseRepair() { ui().rbAddMode->click(); }
    // What the user chooses a job with: its kind, its check boxes and its file.
    std::array<QWidget*, 5> choices()
    {
        return {ui().rbUploadFW, ui().rbAddMode, ui().ckbNotSearch, ui().ckbWait, ui().btFW_File};
    }
    // Presses Run and lets the exchange it starts run to its end.
    void run()
    {
        ui().btUpdateRun->click();
        runExchange();
    }
    QByteArray sent() { return QByteArray::fromStdString(written()); }
    std::optional<sim::ReceivedUpload> received() { return simd2xx::adapterUpload(kAdapterSerial); }
    // The adapter, sitting in its bootloader as after an upload that did not end well.
    sim::AdapterProfile inBootloader()
    {
        sim::AdapterProfile profile = sim::standardProfile();
        profile.startsInBootloader = true;
        return profile;
    }

    // The adapter in its bootloader; the image chosen for an upload without the update command.
    void startWithoutSearchChosen()
    {
        startWithAdapter(inBootloader());
        ui().rbAddMode->click();
        ui().rbUploadFW->click(); // a click that changes the choice makes the boxes usable
        ui().ckbNotSearch->click();
        choose(writeFile(image, "new.rfw"));
    }

    QTemporaryDir files;
    std::vector<platform::OpenFileRequest> dialogs;
    std::optional<QString> dialogAnswer;
    const QByteArray image = sim::sampleFirmwareImage(4096);
};

} // namespace

TEST_F(UpdateTab, AtStartUploadIsChosenButItsBoxesWaitForAClickOnAChoice)
{
    startWindow();
    EXPECT_TRUE(ui().rbUploadFW->isChecked());
    EXPECT_FALSE(ui().ckbNotSearch->isEnabled());
    EXPECT_FALSE(ui().ckbWait->isEnabled());
    EXPECT_TRUE(ui().ckbWait->isChecked());
    EXPECT_FALSE(ui().btUpdateRun->isEnabled());
    EXPECT_EQ(ui().btUpdateRun->text(), "Run");

    ui().rbUploadFW->click(); // already chosen: no change, no handler
    EXPECT_FALSE(ui().ckbNotSearch->isEnabled());
    chooseRepair();
    EXPECT_TRUE(ui().rbAddMode->isChecked()); // Repair stays chosen
    EXPECT_FALSE(ui().ckbNotSearch->isEnabled());
    EXPECT_FALSE(ui().ckbWait->isEnabled()); // not touched by Repair
    ui().rbUploadFW->click();
    EXPECT_TRUE(ui().ckbNotSearch->isEnabled());
    EXPECT_TRUE(ui().ckbWait->isEnabled());
}

TEST_F(UpdateTab, RunNeedsAFileAndAFoundAdapterUnlessTheUploadSkipsTheSearch)
{
    searchAdapter();
    struct Case {
        bool repair, notSearch, adapterFound, fileChosen, enabled;
    };
    for (const Case& c : {Case{false, false, true, true, true}, Case{false, false, false, true, false},
                          Case{false, false, true, false, false}, Case{false, true, false, true, true},
                          Case{false, true, false, false, false}, Case{true, true, false, true, false},
                          Case{true, false, true, true, true}}) {
        SCOPED_TRACE(testing::Message() << c.repair << c.notSearch << c.adapterFound << c.fileChosen);
        ui().edSerial->setText(c.adapterFound ? "20417" : "");
        (c.repair ? ui().rbAddMode : ui().rbUploadFW)->setChecked(true);
        ui().ckbNotSearch->setChecked(c.notSearch);
        // The last change of the file's text applies the rule.
        ui().edFW_File->setText("/some/file");
        ui().edFW_File->setText(c.fileChosen ? "/any/file" : "");
        EXPECT_EQ(ui().btUpdateRun->isEnabled(), c.enabled);
    }
}

TEST_F(UpdateTab, TheFileDialogOffersTheChoicesFileKindAndACancelChangesNothing)
{
    searchAdapter();
    const QString firmware = writeFile(image, "new.rfw");
    choose(firmware);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].title, "Open");
    EXPECT_EQ(dialogs[0].fileName, "");
    EXPECT_EQ(dialogs[0].defaultExtension, "RFW");
    EXPECT_EQ(dialogs[0].filter, "RFW-files|*.rfw|All files|*.*");
    EXPECT_EQ(dialogs[0].parent, window.get());
    EXPECT_EQ(ui().edFW_File->text(), firmware);
    EXPECT_TRUE(ui().btUpdateRun->isEnabled());

    chooseRepair();
    dialogAnswer.reset(); // cancelled
    ui().btFW_File->click();
    EXPECT_EQ(dialogs.back().defaultExtension, "RCM");
    EXPECT_EQ(dialogs.back().filter, "RCM-files|*.rcm|All files|*.*");
    EXPECT_EQ(dialogs.back().fileName, firmware); // the dialog starts at the file shown
    EXPECT_EQ(ui().edFW_File->text(), firmware);
    EXPECT_EQ(boxes.count(), 0u);

    const QString gone = files.filePath("gone.rcm");
    choose(gone);
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes.last().call.text, "Firware file \"" + gone + "\" is not found.");
    EXPECT_EQ(boxes.last().call.flags, platform::kBoxIconError);
    EXPECT_EQ(ui().edFW_File->text(), firmware);
}

TEST_F(UpdateTab, RunSendsTheUpdateCommandThenUploadsTheImageAndStopBecomesRunAgain)
{
    searchAdapter();
    choose(writeFile(image, "new.rfw"));
    ui().pbUpdateProgress->setValue(40);
    const qsizetype before = sent().size();
    ui().btUpdateRun->click();
    EXPECT_EQ(ui().pbUpdateProgress->value(), 0); // back to 0 before any byte is sent
    EXPECT_EQ(ui().btUpdateRun->text(), "Stop");
    runExchange();

    EXPECT_TRUE(sent().mid(before).startsWith(sim::kFirstPrefix + QByteArray("U")));
    EXPECT_EQ(ui().edUpdateSatus->text(), "Updating firmware : Ok");
    const std::optional<sim::ReceivedUpload> received = this->received();
    ASSERT_TRUE(received);
    EXPECT_EQ(received->pageData(), wholePages(fwupdate::primaryPageData(image), 256));
    EXPECT_EQ(ui().btUpdateRun->text(), "Run");
    EXPECT_TRUE(ui().btUpdateRun->isEnabled());
    EXPECT_EQ(window->focusWidget(), ui().btUpdateRun);
    EXPECT_EQ(ui().memLog->toPlainText(), "CR:(c) 2026 Korvane, Velmora VT-2\nUpdate: starting the bootloader");
    EXPECT_TRUE(ui().btSearch->isEnabled());
    EXPECT_FALSE(simd2xx::isOpen(kAdapterSerial));
    EXPECT_FALSE(simd2xx::adapterInBootloader(kAdapterSerial)); // the new firmware runs
    EXPECT_EQ(boxes.count(), 0u);
}

TEST_F(UpdateTab, WithoutTheSearchNothingGoesOutBeforeTheBootloaderIsConnected)
{
    startWithoutSearchChosen();
    ASSERT_TRUE(ui().btUpdateRun->isEnabled()); // no adapter found, none needed
    run();

    EXPECT_TRUE(sent().startsWith("<")); // after the bootloader's prompt, the connect byte first
    EXPECT_EQ(ui().edUpdateSatus->text(), "Updating firmware : Ok");
    ASSERT_TRUE(received());
    EXPECT_TRUE(received()->complete);
    EXPECT_EQ(boxes.count(), 0u);
}

TEST_F(UpdateTab, StopCancelsTheUploadAndTheExchangeEnds)
{
    searchAdapter();
    choose(writeFile(sim::sampleFirmwareImage(64 * 1024), "big.rfw"));
    ui().btUpdateRun->click();
    for (int waited = 0; window->FWUpdate->CurrentPage < 20 && waited < 60000; waited += 10)
        clock.advance(10);
    ASSERT_TRUE(ui().btUpdateRun->isEnabled());
    ASSERT_EQ(ui().btUpdateRun->text(), "Stop");
    ui().btUpdateRun->click();
    EXPECT_EQ(ui().btUpdateRun->text(), "Run");
    clock.advance(20);

    EXPECT_FALSE(window->exchange().isRunning());
    EXPECT_EQ(ui().edUpdateSatus->text(), "Firmware Update canceled...");
    EXPECT_FALSE(simd2xx::isOpen(kAdapterSerial));
    EXPECT_TRUE(ui().btSearch->isEnabled());
    EXPECT_FALSE(received()->complete);
}

TEST_F(UpdateTab, APortThatDoesNotOpenLeavesRunAsItWas)
{
    startWithoutSearchChosen();
    simd2xx::failCalls(simd2xx::Call::CreateFile, simd2xx::kDeviceNotFound);
    run();
    EXPECT_EQ(ui().btUpdateRun->text(), "Run");
    EXPECT_EQ(boxes.count(), 1u); // the device's own report
    EXPECT_FALSE(window->exchange().isRunning());
}

TEST_F(UpdateTab, RepairWritesAnEightyByteModeFileAndTheAdapterAnswersWithItsModes)
{
    searchAdapter();
    chooseRepair();
    const QByteArray modeFile = sim::modeFile("C3", "Track day");
    choose(writeFile(modeFile, "track.rcm"));
    const qsizetype before = sent().size();
    ui().btUpdateRun->click();
    EXPECT_EQ(ui().btUpdateRun->text(), "Stop");
    ui().btUpdateRun->click(); // a repair runs to its end: only the caption goes back
    EXPECT_EQ(ui().btUpdateRun->text(), "Run");
    runExchange();

    EXPECT_EQ(sent().mid(before), sim::kFirstPrefix + QByteArray("E") + modeFile);
    EXPECT_EQ(simd2xx::adapterModeFile(kAdapterSerial), modeFile);
    EXPECT_TRUE(modeRows().contains("05|C3|Track day")); // the mode the file installs
    EXPECT_EQ(boxes.count(), 0u);
}

TEST_F(UpdateTab, AModeFileOfAnotherLengthOrNoneIsReportedAndNothingIsSent)
{
    searchAdapter();
    chooseRepair();
    for (const auto& [size, ending] : {std::pair{79, "\"corrupted."}, std::pair{81, "\"corrupted."},
                                       std::pair{-1, "\" is not found."}}) {
        SCOPED_TRACE(size);
        const QString path = writeFile(QByteArray(std::max(size, 0), 'm'), QString("mode%1.rcm").arg(size));
        choose(path);
        if (size < 0)
            QFile::remove(path);
        boxes.clear();
        const qsizetype before = sent().size();
        run();
        ASSERT_EQ(boxes.count(), 1u);
        EXPECT_EQ(boxes.last().call.text, "Change Mode file \"" + path + ending);
        EXPECT_EQ(sent().size(), before);
        EXPECT_EQ(ui().btUpdateRun->text(), "Run");
    }
}

TEST_F(UpdateTab, AModeFileThatIsThereButCannotBeReadSaysWhyOnASecondLine)
{
    searchAdapter();
    chooseRepair();
    const QString path = unreadableFile(QFileInfo(writeFile("x", "any.rcm")).path());
    if (path.isEmpty())
        GTEST_SKIP() << "no file this process may not read";
    ui().edFW_File->setText(path);
    boxes.clear();
    const qsizetype before = sent().size();
    run();
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes.last().call.text, "Change Mode file \"" + path + "\" is not found.\nPermission denied");
    EXPECT_EQ(sent().size(), before);
}

TEST_F(UpdateTab, AnImageThatCannotBeUploadedIsReportedBeforeAnyByteReachesTheAdapter)
{
    searchAdapter();
    for (const auto& [notSearch, size, text] : {std::tuple{false, 79, "Error! Firmware file \"%1\" is short."},
                                                std::tuple{false, -1, "File \"%1\" is not found."},
                                                std::tuple{true, 0, "Error! Firmware file \"%1\" is short."}}) {
        SCOPED_TRACE(testing::Message() << notSearch << " " << size);
        ui().rbAddMode->click();
        ui().rbUploadFW->click();
        if (ui().ckbNotSearch->isChecked() != notSearch)
            ui().ckbNotSearch->click();
        const QString path = writeFile(image, QString("image%1.rfw").arg(size));
        choose(path);
        // Changed or gone after it was chosen.
        if (size < 0)
            QFile::remove(path);
        else
            writeFile(QByteArray(size, 'x'), QString("image%1.rfw").arg(size));
        boxes.clear();
        const std::size_t opened = simd2xx::namesOpened().size();
        const qsizetype before = sent().size();
        run();

        ASSERT_EQ(boxes.count(), 1u);
        EXPECT_EQ(boxes.last().call.title, "Open Firware file...");
        EXPECT_EQ(boxes.last().call.text, QString(text).arg(path));
        EXPECT_EQ(sent().size(), before);
        EXPECT_EQ(simd2xx::namesOpened().size(), opened); // the port is not even opened
        EXPECT_FALSE(simd2xx::adapterInBootloader(kAdapterSerial));
        EXPECT_EQ(ui().btUpdateRun->text(), "Run");
        EXPECT_FALSE(window->exchange().isRunning());
    }
}

// Clicks on the choices during an upload once turned Stop into a mere caption
// change (Repair's branch), or disabled it (the rule without a found adapter),
// leaving the adapter in its bootloader and every other exchange refused.
TEST_F(UpdateTab, WhileAnUploadRunsItsChoicesHoldAndStopAlwaysCancelsIt)
{
    sim::AdapterProfile silentBootloader = inBootloader();
    silentBootloader.bootloader.silent = true;
    startWithAdapter(silentBootloader);
    ui().rbAddMode->click();
    ui().rbUploadFW->click();
    ui().ckbNotSearch->click();
    choose(writeFile(image, "new.rfw"));
    ui().btUpdateRun->click();
    clock.advance(60 * 1000); // the bootloader never answers
    ASSERT_EQ(ui().edUpdateSatus->text(), "Waiting Connection...");

    for (QWidget* choice : choices())
        EXPECT_FALSE(choice->isEnabled()) << choice->objectName().toStdString();
    ui().rbAddMode->click();
    ui().ckbNotSearch->click();
    EXPECT_TRUE(ui().rbUploadFW->isChecked());
    EXPECT_TRUE(ui().ckbNotSearch->isChecked());
    ui().edFW_File->setText(ui().edFW_File->text() + "x"); // any event that applies the rule
    ASSERT_TRUE(ui().btUpdateRun->isEnabled());

    ui().btUpdateRun->click();
    clock.advance(20);
    EXPECT_EQ(ui().edUpdateSatus->text(), "Firmware Update canceled...");
    EXPECT_FALSE(window->exchange().isRunning());
    EXPECT_FALSE(simd2xx::isOpen(kAdapterSerial));
    for (QWidget* choice : choices())
        EXPECT_TRUE(choice->isEnabled()) << choice->objectName().toStdString();

    ui().btSearch->click(); // no longer refused
    EXPECT_TRUE(window->exchange().isRunning());
    runExchange();
}
