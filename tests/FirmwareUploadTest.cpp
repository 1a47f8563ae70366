#include "support/PseudoTerminal.h"
#include "support/UnreadableFile.h"
#include "support/UploadFixture.h"

#include "fwupdate/BootloaderFrames.h"
#include "fwupdate/ProgressText.h"
#include "platform/WholeFile.h"

#include <QRegularExpression>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace fwupdate;

namespace {

const QByteArray kConnectAck("+\x00", 2);

QByteArray ackWith(std::uint16_t number)
{
    return QByteArray("+\x02", 2) + wordToBytes(number);
}

QByteArray request(std::uint16_t page)
{
    return "." + wordToBytes(page);
}

QByteArray pagePacket(const QByteArray& pageData, int pageSize, std::uint16_t k)
{
    return packet("@" + wordToBytes(k), page(pageData, pageSize, k));
}

class Upload : public UploadFixture {
protected:
    // Starts without waiting for the prompt, and lets the first tick come.
    void startPlayed(const QByteArray& image)
    {
        ASSERT_TRUE(start(writeFile(image), false));
        clock.advance(TFWUpdate::kFirstTickMs);
    }
    // Connected, and the header answered with `pageSize`.
    void startInPagePhase(const QByteArray& image, std::uint16_t pageSize)
    {
        startPlayed(image);
        answer(kConnectAck);
        answer(ackWith(pageSize));
        ASSERT_EQ(upload->State, usPages);
    }
    bool lineRaisedAndClosed()
    {
        const serdev::DCB state = simd2xx::lastCommState(kSerial);
        return !simd2xx::isOpen(kSerial) && state.fRtsControl == 1 && state.fDtrControl == 1;
    }
};

struct WholeUploadCase {
    bool waitForPrompt;
    std::uint16_t pageSize;
};

class WholeUpload : public Upload, public ::testing::WithParamInterface<WholeUploadCase> {};

} // namespace

TEST_P(WholeUpload, EveryPageArrivesAsItStandsInTheFile)
{
    const auto [waitForPrompt, pageSize] = GetParam();
    sim::BootloaderProfile bootloader;
    bootloader.pageSize = pageSize;
    attachBootloader(bootloader);
    const QByteArray image = sim::sampleFirmwareImage(4096 + 40); // 40 bytes beyond the last whole page

    ASSERT_TRUE(start(writeFile(image), waitForPrompt));
    // Without waiting, the connect byte is on the wire before Start returns.
    EXPECT_EQ(written(), waitForPrompt ? QByteArray() : QByteArray("<"));
    runToEnd();

    EXPECT_EQ(status.text(), "Updating firmware : Ok");
    const std::optional<sim::ReceivedUpload> received = this->received();
    ASSERT_TRUE(received);
    EXPECT_TRUE(received->complete);
    EXPECT_EQ(received->naksSent, 0);
    EXPECT_EQ(received->header, image.left(80));
    EXPECT_EQ(received->pageData(), wholePages(primaryPageData(image), pageSize));
    EXPECT_EQ(upload->PageCount, 4136 / pageSize);
    EXPECT_EQ(progress.maximum(), upload->PageCount);
    EXPECT_EQ(progress.value(), progress.maximum());
    EXPECT_EQ(simd2xx::lastCommState(kSerial).BaudRate, 115200u);
    EXPECT_TRUE(lineRaisedAndClosed());
    EXPECT_FALSE(upload->IsBusy());
    EXPECT_EQ(boxes.count(), 0u);

    const QStringList steps = {"Connecting...", "Send Header...", "Wait for page request...", "Writing Page #0",
                               "Writing Page #0 : Ok", "Writing Page #1"};
    const QStringList expected = waitForPrompt ? QStringList{"Waiting Connection..."} + steps : steps;
    EXPECT_EQ(statuses.mid(0, expected.size()), expected);
    const QString lastPage = QString::number(upload->PageCount - 1);
    EXPECT_EQ(statuses.mid(statuses.size() - 4),
              (QStringList{"Writing Page #" + lastPage + " : Ok", "Updating firmware", "", "Updating firmware : Ok"}));
}

INSTANTIATE_TEST_SUITE_P(PromptAndPageSize, WholeUpload,
                         ::testing::Values(WholeUploadCase{true, 256}, WholeUploadCase{false, 256},
                                           WholeUploadCase{true, 64}, WholeUploadCase{false, 1024}),
                         [](const ::testing::TestParamInfo<WholeUploadCase>& info) {
                             return std::string(info.param.waitForPrompt ? "WaitingForThePrompt" : "NotWaiting")
                                 + "Pages" + std::to_string(info.param.pageSize);
                         });

TEST_F(Upload, ABootloaderSilentToTheHeaderGetsTheAlternativeLayout)
{
    sim::BootloaderProfile older;
    older.answersHeaderPacket = false;
    const QByteArray image = sim::sampleFirmwareImage(4096);
    const std::optional<sim::ReceivedUpload> received = uploadTo(older, image, false);
    ASSERT_TRUE(received);
    EXPECT_EQ(received->altHeader, image.mid(80, 184));
    EXPECT_EQ(received->pageData(), wholePages(alternativePageData(image), 256));
    EXPECT_EQ(upload->AltHeader, image.mid(80, 184));
    // The header packet, then the block raw: no lead byte, no checksum.
    EXPECT_EQ(written().mid(0, 1 + 83 + 184), "<" + packet("#", image.left(80)) + image.mid(80, 184));
    // To the user it is one step.
    const qsizetype header = statuses.indexOf("Send Header...");
    ASSERT_GE(header, 0);
    EXPECT_EQ(statuses.value(header + 1), "Wait for page request...");
}

TEST_F(Upload, RequestsOutOfOrderRepeatedOrBeyondTheImageAndRetriedPagesStillGiveTheImage)
{
    sim::BootloaderProfile outOfOrder, beyond, naks;
    outOfOrder.requestsOutOfOrder = true;
    beyond.requestsBeyondEnd = true;
    naks.naks = {{1, 1}, {3, 3}};
    for (const auto& [name, bootloader] : {std::pair{"out of order and repeated", outOfOrder},
                                           std::pair{"beyond the last page", beyond}, std::pair{"naks", naks}}) {
        SCOPED_TRACE(name);
        const QByteArray image = sim::sampleFirmwareImage(2048);
        const std::optional<sim::ReceivedUpload> received = uploadTo(bootloader, image, true);
        ASSERT_TRUE(received);
        EXPECT_EQ(received->pageData(), primaryPageData(image));
    }
    EXPECT_TRUE(statuses.contains("Writing Page #1 : Retry 1"));
    EXPECT_TRUE(statuses.contains("Writing Page #3 : Retry 3"));
    EXPECT_FALSE(statuses.contains("Writing Page #3 : Retry 4"));
}

TEST_F(Upload, ThreeNaksAreRetriesAndTheFourthSinceTheLastAckEndsTheUpload)
{
    const QByteArray image = sim::sampleFirmwareImage(64 * 10);
    startInPagePhase(image, 64);
    EXPECT_EQ(progress.maximum(), 10);

    answer(request(5));
    EXPECT_EQ(status.text(), "Writing Page #5");
    EXPECT_TRUE(written().endsWith(pagePacket(primaryPageData(image), 64, 5)));
    const qsizetype sent = written().size();
    for (int retry = 1; retry <= 3; ++retry) {
        answer("-");
        EXPECT_EQ(status.text(), QString("Writing Page #5 : Retry %1").arg(retry));
    }
    EXPECT_EQ(written().size(), sent); // the bootloader asks again; nothing goes out before it does

    answer(ackWith(5));
    EXPECT_EQ(status.text(), "Writing Page #5 : Ok");
    EXPECT_EQ(progress.value(), 5);
    for (int retry = 1; retry <= 3; ++retry)
        answer("-");
    answer(request(5)); // a request between naks does not reset their count
    EXPECT_EQ(status.text(), "Writing Page #5");
    answer("-");

    EXPECT_EQ(status.text(), "Writing Page #5 : Error");
    EXPECT_FALSE(upload->IsBusy());
    EXPECT_TRUE(lineRaisedAndClosed());
}

TEST_F(Upload, EachWayAnUploadEndsShowsItsStatus)
{
    const QByteArray pause; // five quiet ticks and more
    struct Case {
        const char* name;
        qsizetype fileSize;
        QList<QByteArray> answers;
        QString status;
    };
    const QList<Case> cases = {
        {"nak to the connect byte", 1000, {"-"}, "Connecting: Error"},
        {"request to the connect byte", 1000, {request(0)}, "Connecting: Error"},
        {"prompt to the connect byte", 1000, {">"}, "Connecting: Error"},
        {"nak to the header", 1000, {kConnectAck, "-"}, "Send Header: Error"},
        {"page size 0", 1000, {kConnectAck, ackWith(0)}, "Send Header: Error"},
        {"ack too short for a page size", 1000, {kConnectAck, QByteArray("+\x01\x40", 3)}, "Send Header: Error"},
        {"80-byte file", 80, {kConnectAck, ackWith(256)}, "System Updating : Ok"},
        {"264-byte file in the alternative layout", 264, {kConnectAck, pause, ackWith(256)}, "System Updating : Ok"},
        {"ack too short for a page number", 1000, {kConnectAck, ackWith(64), request(3), kConnectAck},
         "Writing Page #3 : Error"},
        {"nak after the end packet", 80 + 64, {kConnectAck, ackWith(64), request(1), "-"},
         "Error updating firmware..."},
        {"ack of the end without an end packet", 1000, {kConnectAck, ackWith(64), ackWith(kEndPage)},
         "Updating firmware : Ok"},
        // Page 65535 would go out numbered as the end, and the end's ack would pass for success.
        {"65535 pages, more than 16-bit numbers can take", 80 + 64 * 65535, {kConnectAck, ackWith(64)},
         "Writing Page #65535 : Error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        progress.setRange(0, 100);
        progress.setValue(0);
        startPlayed(sim::sampleFirmwareImage(c.fileSize - 80));
        for (const QByteArray& bytes : c.answers) {
            if (bytes.isEmpty())
                clock.advance(100);
            else
                answer(bytes);
        }
        EXPECT_EQ(status.text(), c.status);
        EXPECT_FALSE(upload->IsBusy());
        EXPECT_EQ(upload->State, usIdle);
        EXPECT_TRUE(lineRaisedAndClosed());
        if (c.status == "System Updating : Ok") {
            EXPECT_EQ(progress.maximum(), 100); // the progress bar is not touched
        }
    }
}

TEST_F(Upload, PagePacketsCarryExactlyThePageAskedForAndNothingBeyondTheLastWholePage)
{
    const QByteArray image = sim::sampleFirmwareImage(64 * 3 + 8);
    const QByteArray data = primaryPageData(image);
    startInPagePhase(image, 64);
    for (const std::uint16_t page : {2, 2, 0, 7, 3})
        answer(request(page));

    EXPECT_EQ(written(), "<" + packet("#", image.left(80)) + pagePacket(data, 64, 2) + pagePacket(data, 64, 2)
                             + pagePacket(data, 64, 0) + QByteArray("@\x07\x00", 3) + QByteArray("@\xff\xff", 3));
    EXPECT_EQ(status.text(), "Updating firmware");
    EXPECT_EQ(upload->CurrentPage, kEndPage);
}

TEST_F(Upload, PageDataShorterThanAPageIsAnsweredWithTheEndAtOnce)
{
    startInPagePhase(sim::sampleFirmwareImage(200), 1024);
    EXPECT_EQ(upload->PageCount, 0);
    EXPECT_EQ(progress.maximum(), 0);
    answer(request(0));
    EXPECT_TRUE(written().endsWith(QByteArray("@\xff\xff", 3)));
    answer(ackWith(kEndPage));
    EXPECT_EQ(status.text(), "Updating firmware : Ok");
}

TEST_F(Upload, TheAlternativeHeaderFollowsFiveQuietTicksAfterTheHeaderHasLeft)
{
    const QByteArray image = sim::sampleFirmwareImage(1000);
    startPlayed(image);
    simd2xx::setOutputQueue(kSerial, 10); // the header packet will wait to leave
    answer(kConnectAck);
    clock.advance(500);
    EXPECT_EQ(written().size(), 1 + 83);

    simd2xx::setOutputQueue(kSerial, 0);
    int quietTicks = 0;
    while (written().size() == 1 + 83 && quietTicks < 20) {
        clock.advance(TFWUpdate::kTickMs);
        ++quietTicks;
    }
    EXPECT_EQ(quietTicks, 5);
    EXPECT_EQ(written().mid(84), image.mid(80, 184));
    EXPECT_EQ(status.text(), "Send Header...");
    EXPECT_EQ(upload->PageData, image.mid(264));

    clock.advance(60000); // the alternative header has no time limit
    EXPECT_TRUE(upload->IsBusy());
    EXPECT_EQ(written().size(), 1 + 83 + 184);
}

TEST_F(Upload, TheFirstTickComesAfter100MsAndOnlyThePromptIsAnsweredWhileWaitingForIt)
{
    simd2xx::receive(kSerial, std::string("+\x00-.\x00\x00", 6));
    ASSERT_TRUE(start(writeFile(sim::sampleFirmwareImage(1000)), true));
    EXPECT_EQ(status.text(), "Waiting Connection...");
    clock.advance(TFWUpdate::kFirstTickMs - 1);
    EXPECT_EQ(status.text(), "Waiting Connection...");
    clock.advance(200);
    EXPECT_TRUE(written().isEmpty()); // what came before the prompt is left over from before

    answer(">" + kConnectAck);
    EXPECT_EQ(status.text(), "Connecting...");
    EXPECT_EQ(written(), "<");
    EXPECT_TRUE(upload->RxBuffer.isEmpty()); // entering the connect step forgets what was received
    answer(kConnectAck);
    EXPECT_EQ(status.text(), "Send Header...");
}

TEST_F(Upload, FramesBehindTheOneThatEndsTheUploadStayUnread)
{
    startInPagePhase(sim::sampleFirmwareImage(1000), 64);
    answer(ackWith(kEndPage) + request(1) + "-");
    EXPECT_EQ(status.text(), "Updating firmware : Ok");
    EXPECT_EQ(upload->RxBuffer, request(1) + "-");
}

TEST_F(Upload, AFileTooShortOrUnreadableIsReportedAndNothingIsSent)
{
    const QString locked = writeFile(QByteArray(1000, 'x'), "locked.rfw");
    const int holder = ::open(QFile::encodeName(locked).constData(), O_RDONLY);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0); // another program has it open for itself
    const QString huge = files.filePath("huge.rfw");
    QFile hugeFile(huge);
    ASSERT_TRUE(hugeFile.open(QIODevice::WriteOnly) && hugeFile.resize(TFWUpdate::kMaxImageBytes + 1));
    hugeFile.close();

    struct Case {
        QString path;
        QString text;
    };
    for (const Case& c : {
             Case{writeFile(QByteArray(79, 'x'), "79.rfw"), "Error! Firmware file \"%1\" is short."},
             Case{writeFile({}, "empty.rfw"), "Error! Firmware file \"%1\" is short."},
             Case{files.filePath("missing.rfw"), "File \"%1\" is not found."},
             Case{locked, "File \"%1\" is not found."},
             Case{files.path(), "File \"%1\" is not found."},
             Case{huge, "Error! Firmware file \"%1\" is too large."},
         }) {
        SCOPED_TRACE(c.path.toStdString());
        boxes.clear();
        EXPECT_FALSE(start(c.path, false));
        ASSERT_EQ(boxes.count(), 1u);
        EXPECT_EQ(boxes.last().call.title, "Open Firware file...");
        EXPECT_EQ(boxes.last().call.text, c.text.arg(c.path));
        EXPECT_EQ(boxes.last().call.flags, platform::kBoxIconError);
        EXPECT_EQ(boxes.last().call.parent, &owner);
        EXPECT_FALSE(upload->IsBusy());
    }
    EXPECT_TRUE(simd2xx::namesOpened().empty()); // the port was never touched
    EXPECT_TRUE(written().isEmpty());
    ::close(holder);
}

TEST_F(Upload, AFileThatIsThereButCannotBeReadSaysWhyOnASecondLine)
{
    const QString path = unreadableFile(files.path());
    if (path.isEmpty())
        GTEST_SKIP() << "no file this process may not read";
    EXPECT_FALSE(start(path, false));
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes.last().call.text, "File \"" + path + "\" is not found.\nPermission denied");
    EXPECT_TRUE(written().isEmpty());
}

namespace {
int lockFailsWith(int error)
{
    errno = error;
    return -1;
}
} // namespace

TEST_F(Upload, WhereTheFileSystemHasNoLocksTheImageIsReadWithoutOne)
{
    const QString path = writeFile(sim::sampleFirmwareImage(4 * 256), "nfs.rfw");
    // NFS answers an exclusive lock of a file opened for reading so.
    for (const platform::FileLockCall refusal : {+[](int, int) { return lockFailsWith(ENOLCK); },
                                                 +[](int, int) { return lockFailsWith(EBADF); }}) {
        platform::setFileLockCall(refusal);
        boxes.clear();
        const bool started = start(path, false);
        platform::setFileLockCall(nullptr);
        EXPECT_TRUE(started);
        EXPECT_EQ(boxes.count(), 0u);
        upload->Cancel();
    }
    // A lock that another program holds still keeps the file from being read half-written.
    platform::setFileLockCall(+[](int, int) { return lockFailsWith(EWOULDBLOCK); });
    EXPECT_FALSE(start(path, false));
    platform::setFileLockCall(nullptr);
    EXPECT_EQ(boxes.last().call.text, "File \"" + path + "\" is not found.");
}

TEST_F(Upload, CancelEndsARunningUploadAndNothingFollows)
{
    upload->Cancel(); // none runs: nothing happens
    EXPECT_TRUE(statuses.isEmpty());

    attachBootloader();
    ASSERT_TRUE(start(writeFile(sim::sampleFirmwareImage(64 * 1024)), true));
    for (int waited = 0; upload->IsBusy() && upload->CurrentPage < 10 && waited < 60000; waited += 10)
        clock.advance(10);
    upload->Cancel();

    EXPECT_EQ(status.text(), "Firmware Update canceled...");
    EXPECT_FALSE(upload->IsBusy());
    EXPECT_EQ(upload->State, usPages); // cancelled, not ended
    EXPECT_TRUE(lineRaisedAndClosed());
    const QByteArray sent = written();
    const qsizetype shown = statuses.size();
    clock.advance(5000);
    upload->Cancel();
    EXPECT_EQ(written(), sent);
    EXPECT_EQ(statuses.size(), shown);
}

TEST_F(Upload, AnUploadEndedWithTheProgramLeavesThePortClosedWithItsLinesRaised)
{
    startPlayed(sim::sampleFirmwareImage(1000));
    ASSERT_TRUE(simd2xx::isOpen(kSerial));
    upload.reset();
    EXPECT_TRUE(lineRaisedAndClosed());
}

TEST_F(Upload, TheFileIsReadAnewAtEveryStart)
{
    const QByteArray first = sim::sampleFirmwareImage(500);
    QByteArray second = first;
    second[5] = 'X';
    startPlayed(first);
    upload->Cancel();
    writeFile(second);
    startPlayed(second);
    answer(kConnectAck);
    EXPECT_TRUE(written().endsWith(packet("#", second.left(80))));
    EXPECT_EQ(upload->FileData, second);
}

TEST_F(Upload, APortFoundClosedStopsTheTicksUntilTheUserCancels)
{
    startPlayed(sim::sampleFirmwareImage(1000));
    device->Close();
    clock.advance(1000);
    EXPECT_TRUE(upload->IsBusy());
    EXPECT_EQ(status.text(), "Connecting...");
    upload->Cancel();
    EXPECT_FALSE(upload->IsBusy());
    EXPECT_EQ(status.text(), "Firmware Update canceled...");
}

TEST_F(Upload, ABootloaderThatNeverAnswersLeavesTheLastStatusUntilTheUserCancels)
{
    sim::BootloaderProfile silent;
    silent.silent = true;
    attachBootloader(silent);
    for (const auto& [wait, shown] : {std::pair{true, "Waiting Connection..."}, std::pair{false, "Connecting..."}}) {
        ASSERT_TRUE(start(writeFile(sim::sampleFirmwareImage(1000)), wait));
        clock.advance(10 * 60 * 1000);
        EXPECT_TRUE(upload->IsBusy());
        EXPECT_EQ(status.text(), shown);
        upload->Cancel();
        EXPECT_EQ(status.text(), "Firmware Update canceled...");
        EXPECT_TRUE(lineRaisedAndClosed());
    }
}

TEST_F(Upload, AnImageOfMorePagesThanPageNumbersCanTakeEndsBeforeAnyPageIsWritten)
{
    for (const auto& [pages, goesOn] : {std::pair{65535, false}, std::pair{65534, true}}) {
        SCOPED_TRACE(pages);
        const qsizetype before = written().size();
        startPlayed(sim::sampleFirmwareImage(qsizetype{64} * pages));
        answer(kConnectAck);
        answer(ackWith(64));
        answer(request(0));
        EXPECT_EQ(upload->IsBusy(), goesOn);
        EXPECT_EQ(written().size() - before, goesOn ? 1 + 83 + 5 + 64 : 1 + 83); // a page, or none
        upload->Cancel();
    }
}

namespace {

// An upload through a real terminal whose far end the test plays, so that the
// port can vanish as it does when the cable is pulled.
class UploadOnAVanishingPort : public DeviceFixture {
protected:
    void start()
    {
        image = sim::sampleFirmwareImage(64 * 8);
        const QString path = files.filePath(QStringLiteral("image.rfw"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(image);
        file.close();
        device->PortName = line->path();
        ASSERT_TRUE(upload.Start(&owner, *device, QFile::encodeName(path), &progress, &status, false));
        ASSERT_EQ(line->receive(1), "<");
    }
    // The far end sends `bytes`; the upload answers on its next ticks with `answerSize` bytes.
    void play(const QByteArray& bytes, qsizetype answerSize)
    {
        line->send(bytes);
        clock.advance(TFWUpdate::kFirstTickMs);
        ASSERT_EQ(line->receive(answerSize).size(), answerSize);
    }

    std::unique_ptr<PseudoTerminal> line;
    std::unique_ptr<serdev::TSerDev> device = makeDevice();
    TFWUpdate upload;
    QWidget owner;
    QProgressBar progress;
    QLineEdit status;
    QTemporaryDir files;
    QByteArray image;
};

} // namespace

TEST_F(UploadOnAVanishingPort, EndsWithTheErrorOfTheStepItWasIn)
{
    struct Case {
        const char* step;
        QList<std::pair<QByteArray, qsizetype>> played; // what the far end sent, and the size of the answer
        QString status;
    };
    for (const Case& c : {
             Case{"connecting", {}, "Connecting: Error"},
             Case{"sending the header", {{kConnectAck, 83}}, "Send Header: Error"},
             Case{"writing page 3", {{kConnectAck, 83}, {ackWith(64) + request(3), 5 + 64}}, "Writing Page #3 : Error"},
         }) {
        SCOPED_TRACE(c.step);
        line = std::make_unique<PseudoTerminal>();
        boxes.clear();
        start();
        for (const auto& [bytes, answerSize] : c.played)
            play(bytes, answerSize);

        line->closeMaster();
        clock.advance(TFWUpdate::kFirstTickMs);
        EXPECT_EQ(status.text(), c.status);
        EXPECT_FALSE(upload.IsBusy());
        EXPECT_FALSE(device->IsOpen);
        ASSERT_EQ(boxes.count(), 1u);
        EXPECT_EQ(boxes.last().call.title, "Read Port(" + line->path() + ") Error...");
        clock.advance(1000);
        EXPECT_EQ(boxes.count(), 1u);
    }
}

TEST(UploadProgressText, GivesTheShareAndTheTimeLeftAtTheRateSoFar)
{
    EXPECT_EQ(pageProgressText(0, 10, 0), "%p%");
    EXPECT_EQ(pageProgressText(5, 10, 5000), "%p% \u2013 about 5 s left");
    EXPECT_EQ(pageProgressText(1, 100, 1000), "%p% \u2013 about 1 min 39 s left");
    EXPECT_EQ(pageProgressText(3, 4, 100), "%p% \u2013 about 1 s left"); // rounded up
    EXPECT_EQ(pageProgressText(4, 4, 100), "%p%");
}

TEST_F(Upload, TheProgressBarSaysWhenTheBootloaderHasNotAnsweredForTenSeconds)
{
    sim::BootloaderProfile silent;
    silent.silent = true;
    attachBootloader(silent);
    progress.setValue(0); // as Run sets it
    ASSERT_TRUE(start(writeFile(sim::sampleFirmwareImage(1000)), true));
    clock.advance(kSilentBootloaderMs - 20);
    EXPECT_FALSE(progress.isTextVisible());
    clock.advance(40);
    EXPECT_TRUE(progress.isTextVisible());
    EXPECT_EQ(progress.text(), "The bootloader has not answered: Stop ends the wait");
    EXPECT_EQ(status.text(), "Waiting Connection..."); // the status line says what it always said
    upload->Cancel();
    EXPECT_FALSE(progress.isTextVisible());
}

TEST_F(Upload, WhilePagesGoOutTheProgressBarShowsTheShareDoneAndTheTimeLeft)
{
    attachBootloader();
    ASSERT_TRUE(start(writeFile(sim::sampleFirmwareImage(256 * 16)), false));
    for (int waited = 0; upload->IsBusy() && upload->CurrentPage < 8 && waited < 60000; waited += 10)
        clock.advance(10);
    clock.advance(10);
    ASSERT_TRUE(progress.isTextVisible());
    const QRegularExpression shareAndTime(QStringLiteral("^(\\d+)% \u2013 about (\\d+) s left$"));
    const QRegularExpressionMatch match = shareAndTime.match(progress.text());
    ASSERT_TRUE(match.hasMatch()) << progress.text().toStdString();
    EXPECT_EQ(match.captured(1).toInt(), 100 * progress.value() / progress.maximum());
    EXPECT_GT(match.captured(2).toInt(), 0);
    runToEnd();
    EXPECT_EQ(status.text(), "Updating firmware : Ok");
    EXPECT_FALSE(progress.isTextVisible());
}
