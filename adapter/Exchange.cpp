#include "Exchange.h"

#include "ReplyFraming.h"
#include "serdev/SerDev.h"
#include "ui_UnitMain.h"

#include <initializer_list>

namespace adapter {

TExchange::TExchange(Ui::TfrmMain& ui, ExchangeWindow& window, ReplyLog& log, TestLog& testLog, ModeList& modes,
                     TReplyParser& parser, const CopyRightWidths& widths)
    : tmrSearch(std::make_unique<platform::Timer>([this] { tmrSearchTimer(); }))
    , ui_(ui)
    , window_(window)
    , log_(log)
    , testLog_(testLog)
    , modes_(modes)
    , parser_(parser)
    , widths_(widths)
{
}

void TExchange::StartExchange()
{
    PollReceive = true;
    lastCommand_ = 0;
    const int index = ui_.cbCOM->currentIndex();
    if (index < 0)
        return;
    serdev::TSerDev& device = window_.device();
    device.PortName = window_.portName(index);
    running_ = true;
    if (!device.Open()) {
        FinishExchange(); // the device has said why
        return;
    }
    device.SetRts(false);
    device.SetDtr(true);
    ExchangeState = state::Prepare;
    tmrSearch->setInterval(kTickMs);
}

void TExchange::tmrSearchTimer()
{
    tmrSearch->setInterval(0);
    try {
        serdev::TSerDev& device = window_.device();
        if (PollReceive && device.IsOpen)
            ReceiveAvailable(static_cast<int>(device.InCount()));
        // A port that vanished has been closed and reported by the device:
        // the exchange ends at once instead of trying on without it. An
        // upload ends by itself, and the exchange waits for that.
        if (device.WasLost() && ExchangeState != state::UploadRunning) {
            FinishExchange();
            return;
        }
        if (StepExchange())
            tmrSearch->setInterval(kTickMs);
    } catch (...) {
        // An error inside a step ends the exchange: the port is closed and the
        // controls come back, instead of a port held open under a stopped tick.
        if (running_)
            FinishExchange();
        window_.showEscapedError(std::current_exception());
    }
}

bool TExchange::ReceiveAvailable(int count)
{
    if (count <= 0)
        return false;
    QByteArray bytes;
    window_.device().Read(bytes, count);
    RxText += bytes;
    RestartReplyCountdown();
    return true;
}

bool TExchange::FrameReply()
{
    return adapter::FrameReply(RxText, InBlock, ReplyBlock, EndScannedTo);
}

void TExchange::RestartReplyCountdown()
{
    ReplyCountdown = kReplyTicks;
}

bool TExchange::ReplyCountdownExpired()
{
    return --ReplyCountdown == 0;
}

bool TExchange::StepExchange()
{
    switch (ExchangeState) {
    case state::Prepare:
        return prepare();
    case state::ClearIdentity:
        clearIdentity();
        return true;
    case state::SearchTry:
        return searchTry();
    case state::Drain:
        return drain();
    case state::AwaitReply:
        awaitReply();
        return true;
    case state::ProbeAnswered:
        log_.addBlock(ReplyBlock);
        [[fallthrough]];
    case state::StatusRequest:
        sendCommand('S', state::SearchDone, state::NotFound);
        return true;
    case state::SearchDone:
        return applyReplyAndFinish();
    case state::SelectRequest:
        sendCommand('M', state::ModeId, state::ModeId);
        return true;
    case state::ModeId:
        sendSelectedModeId();
        return true;
    case state::SelectionDone:
    case state::RepairDone:
        // The answer lists every mode anew.
        modes_.clear();
        log_.clear();
        return applyReplyAndFinish();
    case state::PowerRequest:
        sendCommand('P', state::PowerValue, state::PowerValue);
        return true;
    case state::PowerValue:
        send(ui_.cbPower->isChecked() ? "1" : "0", state::PowerDone, state::NotFound);
        return true;
    case state::PowerDone:
        return applyReplyAndFinish(); // the mode list stays: the reply carries only the power
    case state::TestRequest:
        sendCommand('T', state::TestDone, state::NotFound);
        TestLogTarget = &testLog_;
        return true;
    case state::TestDone:
        return finishSelfTest();
    case state::UpdateRequest:
        leftInBootloader_.insert(window_.device().PortName); // from the moment it may have heard "U"
        sendCommand('U', state::HandOver, state::NotFound);
        return true;
    case state::HandOver:
    case state::HandOverAtOnce:
        return handOverToUpload();
    case state::UploadRunning:
        return waitForUpload();
    case state::RepairRequest:
        sendCommand('E', state::ModeFile, state::ModeFile);
        return true;
    case state::ModeFile:
        send(window_.modeFileData(), state::RepairDone, state::NotFound);
        return true;
    case state::NotFound:
        return notFound();
    default:
        // A state this program has no step for: end cleanly rather than tick forever.
        FinishExchange();
        return false;
    }
}

bool TExchange::prepare()
{
    for (QWidget* control : std::initializer_list<QWidget*>{ui_.gbOptions, ui_.lvModes, ui_.btModeSelect, ui_.btCopy,
                                                            ui_.btSearch, ui_.cbCOM, ui_.btRefresh, ui_.btPortProp,
                                                            ui_.btUpdateRun})
        control->setEnabled(false);
    log_.clear();
    dropReceived();
    replyOverran_ = false;
    if (window_.device().IsOpen) {
        ExchangeState = NextState;
        return true;
    }
    window_.showError(QStringLiteral("Cannot open Communication Port ") + portText());
    FinishExchange();
    return false;
}

bool TExchange::drain()
{
    const bool draining = window_.device().OutCount() > 0;
    if (draining && platform::clock().nowMs() - sentMs_ < kDrainLimitMs)
        return true;
    RestartReplyCountdown();
    ExchangeState = state::AwaitReply;
    awaitReply();
    return true;
}

void TExchange::awaitReply()
{
    if (FrameReply()) {
        ExchangeState = NextState;
        return;
    }
    if (TestLogTarget != nullptr)
        CopyTestOutput(InBlock);
    if (replyOverran()) {
        // What came is not a reply: it is dropped, and the next step starts clean.
        replyOverran_ = true;
        dropReceived();
        ExchangeState = TimeoutState;
        return;
    }
    if (ReplyCountdownExpired())
        ExchangeState = TimeoutState;
}

void TExchange::dropReceived()
{
    RxText.clear();
    InBlock = false;
    EndScannedTo = 0;
    TestLogPos = kFirstLinePos;
}

bool TExchange::replyOverran() const
{
    const std::int64_t waitedMs = platform::clock().nowMs() - sentMs_;
    return RxText.size() > kReplyByteLimit || waitedMs > (InBlock ? kReplyTimeLimitMs : kMarkerTimeLimitMs);
}

bool TExchange::notFound()
{
    QString text = QString::fromUtf8(window_.productName())
                   + QStringLiteral(" Adapter is not found on Communication Port ") + portText();
    if (const QString guidance = notFoundGuidance(); !guidance.isEmpty())
        text += QLatin1Char('\n') + guidance;
    window_.showError(text);
    FocusControl = nullptr;
    FinishExchange();
    return false;
}

bool TExchange::applyReplyAndFinish()
{
    log_.addBlock(ReplyBlock);
    parser_.ApplyReplyLog(log_.lines(), FocusControl);
    FinishExchange();
    return false;
}

void TExchange::send(const QByteArray& bytes, std::uint8_t next, std::uint8_t timeout)
{
    window_.device().Write(bytes);
    sentMs_ = platform::clock().nowMs();
    replyOverran_ = false;
    NextState = next;
    TimeoutState = timeout;
    ExchangeState = state::Drain;
}

void TExchange::sendCommand(char letter, std::uint8_t next, std::uint8_t timeout)
{
    lastCommand_ = letter;
    send(window_.commandPrefix(PrefixIndex) + letter, next, timeout);
}

QString TExchange::notFoundGuidance() const
{
    if (replyOverran_)
        return QStringLiteral("The port kept sending without a complete reply: another device may be connected "
                              "to it, or another program may be sending on it.");
    switch (lastCommand_) {
    case 'I':
        if (leftInBootloader_.contains(window_.device().PortName))
            return QStringLiteral("An upload on this port was stopped or failed: the adapter may be waiting in its "
                                  "bootloader. An upload with \"Do not Search\" ticked brings it back.");
        return {};
    case 'S':
        return QStringLiteral("The adapter answered the identity request, but not the status request.");
    case 'T':
        return InBlock ? QStringLiteral("The self-test's report broke off before its end.") : QString();
    default:
        return {};
    }
}

void TExchange::FinishExchange()
{
    const int index = ui_.cbCOM->currentIndex();
    ui_.gbOptions->setEnabled(true);
    ui_.lvModes->setEnabled(true);
    ui_.btSearch->setEnabled(true);
    ui_.cbCOM->setEnabled(true);
    ui_.btPortProp->setEnabled(index >= 0 && !window_.portDeviceId(index).isEmpty());
    ui_.btRefresh->setEnabled(true);
    ui_.btCopy->setEnabled(!log_.isEmpty());
    window_.EnableUpdateRun();

    serdev::TSerDev& device = window_.device();
    device.BeginConfig();
    device.SetRts(true);
    device.SetDtr(true);
    device.EndConfig();
    device.Close();

    RxText.clear();
    ui_.btUpdateRun->setText(QStringLiteral("Run"));
    if (FocusControl != nullptr) {
        FocusControl->setFocus();
        if (FocusControl == ui_.lvModes && modes_.count() > 0) {
            modes_.sort();
            modes_.showSelected();
        }
    }
    FocusControl = nullptr;
    TestLogTarget = nullptr;
    TestLogPos = kFirstLinePos;
    running_ = false;
    window_.exchangeFinished();
}

QString TExchange::portText() const
{
    return ui_.cbCOM->currentText();
}

} // namespace adapter
