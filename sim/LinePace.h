#pragma once

#include <QByteArray>

#include <chrono>
#include <cstdint>

// A serial line's pace: ten bit times a byte (start bit, eight data bits,
// stop bit). A pseudo-terminal moves bytes at once; these let the simulator
// move them no faster than a real line would.
class LinePace {
public:
    // Whole bytes the line can carry now at `baud`; unused time is saved up only a little.
    qsizetype allowance(std::uint32_t baud);
    void spend(qsizetype bytes) { credit_ -= static_cast<double>(bytes); }

private:
    double credit_ = 0;
    std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
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

    void queue(const QByteArray& bytes) { pending_ += bytes; }
    bool idle() const { return pending_.isEmpty(); }
    // Returns false when the line is gone.
    bool send(int fd);

private:
    std::uint32_t baud_;
    int pieceSize_;
    int sentOfPiece_ = 0;
    LinePace pace_;
    QByteArray pending_;
    std::chrono::steady_clock::time_point pieceGapEnds_{};
};

// Hands what the host wrote to the adapter at the pace of the host's line rate.
class PacedReceiver {
public:
    void queue(const QByteArray& bytes) { pending_ += bytes; }
    bool idle() const { return pending_.isEmpty(); }
    QByteArray take(std::uint32_t baud);

private:
    LinePace pace_;
    QByteArray pending_;
};
