#pragma once

#include <QByteArray>

#include <chrono>
#include <cstdint>

// A serial line's pace: ten bit times a byte (start bit, eight data bits,
// stop bit). A pseudo-terminal moves bytes at once; these let the simulator
// move them no faster than a real line would.
//
// Every byte has a slot on the line: one character time after the previous
// byte's slot, and never before the byte was handed to the line. Time the line
// spent idle is not saved up, so nothing ever leaves in a burst faster than
// the wire carries it.
class LinePace {
public:
    using Clock = std::chrono::steady_clock;

    // Bytes are handed to an idle line at `now`: the next slot is no earlier.
    void wake(Clock::time_point now);
    // How many bytes have had their slot by `now` at `baud`.
    qsizetype due(Clock::time_point now, std::uint32_t baud) const;
    // `bytes` left the line in their slots.
    void spend(qsizetype bytes, std::uint32_t baud);

private:
    double nextSlotNs_ = 0; // on the steady clock
};

// Moves the adapter's replies onto the line at the adapter's baud rate,
// optionally in pieces with pauses between them.
class PacedSender {
public:
    PacedSender(std::uint32_t baud, int pieceSize)
        : baud_(baud)
        , pieceSize_(pieceSize)
    {
    }

    void queue(const QByteArray& bytes);
    bool idle() const { return pending_.isEmpty(); }
    // Returns false when the line is gone.
    bool send(int fd);

private:
    std::uint32_t baud_;
    int pieceSize_;
    int sentOfPiece_ = 0;
    LinePace pace_;
    QByteArray pending_;
};

// Hands what the host wrote to the adapter at the pace of the host's line rate.
class PacedReceiver {
public:
    void queue(const QByteArray& bytes);
    bool idle() const { return pending_.isEmpty(); }
    QByteArray take(std::uint32_t baud);

private:
    LinePace pace_;
    QByteArray pending_;
};
