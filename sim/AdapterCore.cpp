#include "AdapterCore.h"

#include "SampleFiles.h"

#include <algorithm>

namespace sim {

namespace {

const QByteArray kLineEnd = "\r\n";

} // namespace

AdapterCore::AdapterCore(AdapterProfile profile)
    : profile_(std::move(profile))
{
    if (profile_.startsInBootloader)
        bootloader_.emplace(profile_.bootloader, std::int64_t{0});
}

QByteArray AdapterCore::receive(const QByteArray& bytes, const LineSetting& line, std::int64_t nowMs)
{
    if (bootloader_) {
        if (line == kBootloaderLine)
            bootloader_->receive(bytes, nowMs);
        return takeSent(nowMs);
    }
    if (line != profile_.line) {
        pending_.clear();
        awaiting_ = Awaiting::Command;
        return takeSent(nowMs);
    }
    pending_ += bytes;
    for (bool progress = true; progress && !pending_.isEmpty();) {
        switch (awaiting_) {
        case Awaiting::Command: progress = takeCommand(nowMs); break;
        case Awaiting::ModeId: progress = takeModeId(nowMs); break;
        case Awaiting::PowerValue: progress = takePowerValue(nowMs); break;
        case Awaiting::ModeFile: progress = takeModeFile(nowMs); break;
        }
    }
    if (awaiting_ == Awaiting::Command) {
        // Keep only what could still grow into a command.
        const qsizetype keep = longestPrefix();
        if (pending_.size() > keep)
            pending_.remove(0, pending_.size() - keep);
    }
    return takeSent(nowMs);
}

QByteArray AdapterCore::takeSent(std::int64_t nowMs)
{
    continueEndlessSelfTest(nowMs);
    QByteArray sent;
    while (!outbox_.empty() && outbox_.front().atMs <= nowMs) {
        sent += outbox_.front().bytes;
        outbox_.pop_front();
    }
    if (bootloader_) {
        sent += bootloader_->takeSent(nowMs);
        if (bootloader_->finished()) {
            // The new firmware starts and answers commands again.
            lastUpload_ = bootloader_->received();
            bootloader_.reset();
            pending_.clear();
            awaiting_ = Awaiting::Command;
        }
    }
    return sent;
}

std::optional<std::int64_t> AdapterCore::nextSendMs() const
{
    std::optional<std::int64_t> next;
    if (!outbox_.empty())
        next = outbox_.front().atMs;
    if (bootloader_)
        if (const std::optional<std::int64_t> own = bootloader_->nextSendMs(); own && (!next || *own < *next))
            next = own;
    return next;
}

std::optional<ReceivedUpload> AdapterCore::upload() const
{
    if (bootloader_)
        return bootloader_->received();
    return lastUpload_;
}

bool AdapterCore::takeCommand(std::int64_t nowMs)
{
    // The earliest complete command wins; a prefix needs its letter to count.
    qsizetype commandAt = -1;
    qsizetype letterAt = -1;
    for (const QByteArray& prefix : profile_.prefixes) {
        const qsizetype at = pending_.indexOf(prefix);
        if (at >= 0 && at + prefix.size() < pending_.size() && (commandAt < 0 || at < commandAt)) {
            commandAt = at;
            letterAt = at + prefix.size();
        }
    }
    if (commandAt < 0)
        return false;
    const char letter = pending_[letterAt];
    pending_.remove(0, letterAt + 1);
    heard_ += letter;
    obey(letter, nowMs);
    return true;
}

bool AdapterCore::takeModeId(std::int64_t nowMs)
{
    for (const Mode& mode : profile_.modes) {
        if (pending_.startsWith(mode.id)) {
            pending_.remove(0, mode.id.size());
            profile_.activeMode = mode.id;
            awaiting_ = Awaiting::Command;
            send(statusLines(), nowMs);
            return true;
        }
    }
    const bool couldStillMatch = std::any_of(profile_.modes.begin(), profile_.modes.end(),
                                             [this](const Mode& mode) { return mode.id.startsWith(pending_); });
    if (couldStillMatch)
        return false;
    awaiting_ = Awaiting::Command; // no mode of ours: the bytes are taken as commands
    return true;
}

bool AdapterCore::takePowerValue(std::int64_t nowMs)
{
    const char value = pending_[0];
    awaiting_ = Awaiting::Command;
    if (value != '1' && value != '0')
        return true; // not a power value: the bytes are taken as commands
    pending_.remove(0, 1);
    if (profile_.powerSwitches)
        profile_.externalPower = value == '1';
    send(powerLines(), nowMs);
    return true;
}

bool AdapterCore::takeModeFile(std::int64_t nowMs)
{
    if (pending_.size() < kModeFileSize)
        return false;
    modeFile_ = pending_.left(kModeFileSize);
    pending_.remove(0, kModeFileSize);
    awaiting_ = Awaiting::Command;
    // A mode the file describes is added, or replaces the one with its ID.
    if (const std::optional<Mode> mode = modeOfFile(modeFile_)) {
        const auto same = std::find_if(profile_.modes.begin(), profile_.modes.end(),
                                       [&](const Mode& known) { return known.id == mode->id; });
        if (same != profile_.modes.end())
            *same = *mode;
        else
            profile_.modes.append(*mode);
    }
    send(statusLines(), nowMs);
    return true;
}

void AdapterCore::obey(char letter, std::int64_t nowMs)
{
    endlessLineDueMs_.reset(); // a new command ends a test that would not end by itself
    switch (letter) {
    case 'I':
        send(QByteArrayList{profile_.productLine} + profile_.identityLines, nowMs);
        break;
    case 'S':
        if (profile_.answersStatus)
            send(statusLines(), nowMs);
        break;
    case 'M':
        if (!profile_.modes.isEmpty())
            awaitData(Awaiting::ModeId, "Mode?", nowMs);
        break;
    case 'P':
        if (profile_.externalPower)
            awaitData(Awaiting::PowerValue, "Power?", nowMs);
        break;
    case 'T':
        startSelfTest(nowMs);
        break;
    case 'E':
        awaitData(Awaiting::ModeFile, "Mode file?", nowMs);
        break;
    case 'U':
        send({profile_.productLine, "Update: starting the bootloader"}, nowMs);
        bootloader_.emplace(profile_.bootloader, nowMs);
        pending_.clear();
        break;
    default:
        break;
    }
}

void AdapterCore::awaitData(Awaiting data, const QByteArray& prompt, std::int64_t nowMs)
{
    awaiting_ = data;
    if (profile_.promptsForData)
        send({profile_.productLine, prompt}, nowMs);
}

void AdapterCore::startSelfTest(std::int64_t nowMs)
{
    const QByteArrayList& lines = profile_.selfTestLines;
    if (lines.isEmpty())
        return;
    // The block opens at once; the test then reports one line at a time.
    outbox_.push_back({nowMs, profile_.noiseBeforeBlock + kLineEnd + profile_.productLine + kLineEnd});
    const qsizetype sent = profile_.selfTestStopsAfter < 0
        ? lines.size()
        : std::min<qsizetype>(profile_.selfTestStopsAfter, lines.size());
    if (profile_.selfTestEndless) {
        endlessLineDueMs_ = nowMs + profile_.selfTestLineGapMs;
        endlessLine_ = 0;
        return;
    }
    std::int64_t at = nowMs;
    for (qsizetype i = 0; i < sent; ++i) {
        at += profile_.selfTestLineGapMs;
        const bool last = i + 1 == lines.size();
        outbox_.push_back({at, lines[i] + kLineEnd + (last ? kLineEnd : QByteArray())});
    }
}

void AdapterCore::continueEndlessSelfTest(std::int64_t nowMs)
{
    // A few lines a call at most: the line carries them slower than they come.
    constexpr int kLinesPerCall = 64;
    const QByteArrayList& lines = profile_.selfTestLines;
    for (int made = 0; endlessLineDueMs_ && *endlessLineDueMs_ <= nowMs && made < kLinesPerCall; ++made) {
        // The block's closing empty line never comes.
        outbox_.push_back({*endlessLineDueMs_, lines[endlessLine_ % lines.size()] + kLineEnd});
        ++endlessLine_;
        *endlessLineDueMs_ += std::max(profile_.selfTestLineGapMs, 1);
    }
}

void AdapterCore::send(const QByteArrayList& lines, std::int64_t atMs)
{
    // Replies leave in order: one sent now still follows what is scheduled before it.
    const std::int64_t at = outbox_.empty() ? atMs : std::max(atMs, outbox_.back().atMs);
    outbox_.push_back({at, profile_.noiseBeforeBlock + kLineEnd + lines.join(kLineEnd) + kLineEnd + kLineEnd});
}

QByteArrayList AdapterCore::statusLines() const
{
    QByteArrayList lines = powerLines();
    QByteArray activeDescription;
    for (const Mode& mode : profile_.modes) {
        lines += mode.id + " - " + mode.description;
        if (mode.id == profile_.activeMode)
            activeDescription = " - " + mode.description;
    }
    if (!profile_.activeMode.isEmpty())
        lines += "Selected Mode: " + profile_.activeMode + activeDescription;
    return lines;
}

QByteArrayList AdapterCore::powerLines() const
{
    QByteArrayList lines{profile_.productLine};
    if (profile_.externalPower)
        lines += *profile_.externalPower ? QByteArray("PW:On") : QByteArray("PW:Off");
    if (!profile_.supplyReading.isEmpty())
        lines += "UP:" + profile_.supplyReading;
    return lines;
}

qsizetype AdapterCore::longestPrefix() const
{
    qsizetype longest = 0;
    for (const QByteArray& prefix : profile_.prefixes)
        longest = std::max(longest, prefix.size());
    return longest;
}

} // namespace sim
