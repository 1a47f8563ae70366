#pragma once

#include "AdapterProfile.h"

#include <QByteArray>

#include <cstdint>
#include <deque>
#include <optional>

namespace sim {

// The adapter's side of the protocol, without any transport: bytes come in
// with the line setting they travelled at and the time they arrived, and
// what the adapter sends leaves at the times it sends it.
//
// A command is one of the adapter's prefixes followed by one letter. Bytes at
// another line setting than the adapter's arrive garbled, so they are dropped
// with any command begun before them. "M" and "P" take a data step: the
// bytes that follow them are a mode ID or a power value, without prefix;
// "E" takes the 80 bytes of a mode file. "U" starts the bootloader, which
// then has the line until an upload has ended well.
class AdapterCore {
public:
    explicit AdapterCore(AdapterProfile profile);

    // Takes in bytes that arrived at `nowMs`; returns what the adapter has
    // sent by then, its answer included.
    QByteArray receive(const QByteArray& bytes, const LineSetting& line, std::int64_t nowMs);
    // What the adapter has sent by `nowMs` and not yet handed out.
    QByteArray takeSent(std::int64_t nowMs);
    // When the next bytes leave, if any are still to come.
    std::optional<std::int64_t> nextSendMs() const;

    const AdapterProfile& profile() const { return profile_; }
    // The command letters understood so far, in order.
    const QByteArray& commandsHeard() const { return heard_; }
    const QByteArray& activeMode() const { return profile_.activeMode; }
    std::optional<bool> externalPower() const { return profile_.externalPower; }
    bool inBootloader() const { return bootloader_.has_value(); }
    // What the bootloader has taken in of the upload running or last ended.
    std::optional<ReceivedUpload> upload() const;
    // The last mode file written with "E".
    const QByteArray& modeFile() const { return modeFile_; }

private:
    enum class Awaiting { Command, ModeId, PowerValue, ModeFile };
    struct Transmission {
        std::int64_t atMs;
        QByteArray bytes;
    };

    // Consumes what it can of the pending bytes; false when it must wait for more.
    bool takeCommand(std::int64_t nowMs);
    bool takeModeId(std::int64_t nowMs);
    bool takePowerValue(std::int64_t nowMs);
    bool takeModeFile(std::int64_t nowMs);
    void obey(char letter, std::int64_t nowMs);
    // The bytes after the command are data of this kind; a prompt for them goes out first.
    void awaitData(Awaiting data, const QByteArray& prompt, std::int64_t nowMs);
    void startSelfTest(std::int64_t nowMs);
    // The next lines of a self-test without end, up to `nowMs`.
    void continueEndlessSelfTest(std::int64_t nowMs);

    void send(const QByteArrayList& lines, std::int64_t atMs);
    QByteArrayList statusLines() const;
    QByteArrayList powerLines() const;
    qsizetype longestPrefix() const;

    AdapterProfile profile_;
    Awaiting awaiting_ = Awaiting::Command;
    QByteArray pending_;
    QByteArray heard_;
    std::deque<Transmission> outbox_;
    std::optional<Bootloader> bootloader_;
    std::optional<ReceivedUpload> lastUpload_;
    QByteArray modeFile_;
    // While a self-test without end runs: when its next line is due, and which.
    std::optional<std::int64_t> endlessLineDueMs_;
    qsizetype endlessLine_ = 0;
};

} // namespace sim
