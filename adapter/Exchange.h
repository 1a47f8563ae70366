#pragma once

#include "ExchangeWindow.h"
#include "ModeList.h"
#include "ReplyLog.h"
#include "ReplyParser.h"
#include "platform/Timer.h"

#include <QByteArray>

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
inline constexpr std::uint8_t NotFound = 23;
inline constexpr std::uint8_t AwaitReply = 24;
} // namespace state

// One conversation with the adapter at a time, from the action that starts
// it to FinishExchange, driven by a 10 ms tick on the user-interface thread.
// Each tick first takes in what the device has received, then runs one step.
class TExchange {
public:
    static constexpr int kTickMs = 10;
    // Ticks without received bytes before an awaited reply is given up.
    static constexpr int kReplyTicks = 20;
    // How long a step waits for the transmit queue to drain before it goes on.
    static constexpr int kDrainLimitMs = 1000;
    static constexpr int kSearchSettings = 5;
    static constexpr int kSearchPrefixes = 2;

    TExchange(Ui::TfrmMain& ui, ExchangeWindow& window, ReplyLog& log, ModeList& modes, TReplyParser& parser,
              const CopyRightWidths& widths);

    // The Search button: find the adapter, then ask for its status.
    void btSearchClick();

    void StartExchange();
    void tmrSearchTimer();
    // One step; true to go on ticking.
    bool StepExchange();
    bool ReceiveAvailable(int count);
    bool FrameReply();
    void RestartReplyCountdown();
    bool ReplyCountdownExpired();
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
    bool PollReceive = false;
    std::unique_ptr<platform::Timer> tmrSearch;

private:
    // Writes `bytes`, then waits in the drain and reply states.
    void send(const QByteArray& bytes, std::uint8_t next, std::uint8_t timeout);
    void sendCommand(char letter, std::uint8_t next, std::uint8_t timeout);
    bool prepare();
    void clearIdentity();
    bool searchTry();
    bool drain();
    void awaitReply();
    QString portText() const;

    Ui::TfrmMain& ui_;
    ExchangeWindow& window_;
    ReplyLog& log_;
    ModeList& modes_;
    TReplyParser& parser_;
    const CopyRightWidths& widths_;
    std::int64_t drainStartedMs_ = 0;
    bool running_ = false;
};

} // namespace adapter
