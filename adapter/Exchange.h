#pragma once

#include "ExchangeWindow.h"
#include "ModeList.h"
#include "ReplyLog.h"
#include "ReplyParser.h"
#include "TestLog.h"
#include "platform/Timer.h"

#include <QByteArray>
#include <QSet>

#include <cstdint>
#include <memory>

class QWidget;

namespace adapter {

// The states of an exchange.
namespace state {
inline constexpr std::uint8_t Prepare = 1;
inline constexpr std::uint8_t ClearIdentity = 2;
inline constexpr std::uint8_t SearchTry = 3;
inline constexpr std::uint8_t Drain = 4;
inline constexpr std::uint8_t ProbeAnswered = 5;
inline constexpr std::uint8_t StatusRequest = 6;
inline constexpr std::uint8_t SearchDone = 7;
inline constexpr std::uint8_t SelectRequest = 8;
inline constexpr std::uint8_t ModeId = 9;
inline constexpr std::uint8_t SelectionDone = 10;
inline constexpr std::uint8_t PowerRequest = 11;
inline constexpr std::uint8_t PowerValue = 12;
inline constexpr std::uint8_t PowerDone = 13;
inline constexpr std::uint8_t TestRequest = 14;
inline constexpr std::uint8_t TestDone = 15;
inline constexpr std::uint8_t UpdateRequest = 16;
inline constexpr std::uint8_t HandOver = 17;
inline constexpr std::uint8_t HandOverAtOnce = 18;
inline constexpr std::uint8_t UploadRunning = 19;
inline constexpr std::uint8_t RepairRequest = 20;
inline constexpr std::uint8_t ModeFile = 21;
inline constexpr std::uint8_t RepairDone = 22;
inline constexpr std::uint8_t NotFound = 23;
inline constexpr std::uint8_t AwaitReply = 24;
} // namespace state

// One conversation with the adapter at a time, from the action that starts
// it to FinishExchange, driven by a 10 ms tick on the user-interface thread.
// Each tick first takes in what the device has received, then runs one step.
//
// The exchanges: the search, the mode selection, switching the external
// power, the self-test, the firmware update (the update command, or none,
// then the upload, which reads the port on its own until it ends) and the
// mode-file repair. An action that would start one while another
// runs is refused, so that the port is never reopened under a running one.
class TExchange {
public:
    static constexpr int kTickMs = 10;
    // Ticks without received bytes before an awaited reply is given up.
    static constexpr int kReplyTicks = 20;
    // How long a step waits for the transmit queue to drain before it goes on.
    static constexpr int kDrainLimitMs = 1000;
    static constexpr int kSearchSettings = 5;
    static constexpr int kSearchPrefixes = 2;
    // The position in RxText of the first byte of a block's first line.
    static constexpr std::int32_t kFirstLinePos = 3;
    // A port that keeps sending restarts the countdown with every byte, so a
    // reply is bounded apart from it: it may take this many bytes and this
    // long from its command on. Until a start marker shows, the bytes are not
    // the adapter's, and they may hold the wait for a shorter time. A wait
    // that goes past a bound counts as unanswered.
    static constexpr qsizetype kReplyByteLimit = 256 * 1024;
    static constexpr int kReplyTimeLimitMs = 30000;
    static constexpr int kMarkerTimeLimitMs = 2000;

    TExchange(Ui::TfrmMain& ui, ExchangeWindow& window, ReplyLog& log, TestLog& testLog, ModeList& modes,
              TReplyParser& parser, const CopyRightWidths& widths);

    // The Search button: find the adapter, then ask for its status.
    void btSearchClick();
    // Select, or the list's own ways to it: make the selected row's mode the active one.
    void btModeSelectClick();
    // The Test tab's Run: run the adapter's self-test and show its output as it arrives.
    void btRunTestClick();
    // A click on the external power box, its tick already changed: switch the power to it.
    void cbPowerClick();

    void StartExchange();
    void tmrSearchTimer();
    // One step; true to go on ticking.
    bool StepExchange();
    bool ReceiveAvailable(int count);
    bool FrameReply();
    void RestartReplyCountdown();
    bool ReplyCountdownExpired();
    // Appends the part of the test output received since the last call,
    // once the block's start marker has been seen (`inBlock`).
    void CopyTestOutput(bool inBlock);
    void FinishExchange();

    // From a successful start until FinishExchange.
    bool isRunning() const { return running_; }

    std::uint8_t ExchangeState = 0;
    std::uint8_t NextState = 0;
    std::uint8_t TimeoutState = 0;
    std::int32_t BaudIndex = 0;
    std::int32_t PrefixIndex = 0;
    std::int32_t ReplyCountdown = 0;
    QWidget* FocusControl = nullptr;
    QByteArray RxText;
    QByteArray ReplyBlock;
    bool InBlock = false;
    // How far the open block in RxText has been searched for its end.
    qsizetype EndScannedTo = 0;
    bool PollReceive = false;
    TestLog* TestLogTarget = nullptr;
    // 1-based position in RxText of the next byte to show in the test log.
    std::int32_t TestLogPos = kFirstLinePos;
    std::unique_ptr<platform::Timer> tmrSearch;

private:
    // Writes `bytes`, then waits in the drain and reply states.
    void send(const QByteArray& bytes, std::uint8_t next, std::uint8_t timeout);
    void sendCommand(char letter, std::uint8_t next, std::uint8_t timeout);
    bool prepare();
    bool drain();
    void awaitReply();
    // Whether the awaited reply has gone past its bounds in bytes or time.
    bool replyOverran() const;
    // Forgets what has been received, with the block and the test output in it.
    void dropReceived();
    bool notFound();
    // Adds the reply block to the log, applies the whole log and ends.
    bool applyReplyAndFinish();

    // The search.
    void clearIdentity();
    bool searchTry();
    // The mode selection.
    void sendSelectedModeId();
    // The self-test.
    bool finishSelfTest();
    // The firmware update.
    bool handOverToUpload();
    bool waitForUpload();

    QString portText() const;
    // The second line of the not-found box: which reply was missing, or why
    // the adapter may not answer at all.
    QString notFoundGuidance() const;

    Ui::TfrmMain& ui_;
    ExchangeWindow& window_;
    ReplyLog& log_;
    TestLog& testLog_;
    ModeList& modes_;
    TReplyParser& parser_;
    const CopyRightWidths& widths_;
    // When the last command or data step was sent (the drain and the reply
    // bounds count from then), and whether the wait for its reply was given
    // up because the port went on sending past the bounds.
    std::int64_t sentMs_ = 0;
    bool replyOverran_ = false;
    bool running_ = false;
    char lastCommand_ = 0;
    // Ports whose adapter was sent into its bootloader by an upload that has
    // not ended well since: it answers no search until an upload does.
    QSet<QByteArray> leftInBootloader_;
};

} // namespace adapter
