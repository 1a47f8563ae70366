#pragma once

#include "LinePace.h"

#include <QByteArray>

#include <cstdint>

// The simulator's two directions of a pseudo-terminal or serial device, which
// would move bytes at once: each byte crosses no faster than its LinePace slot.

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
    sim::LinePace pace_;
    QByteArray pending_;
};

// Hands what the host wrote to the adapter at the pace of the host's line rate.
class PacedReceiver {
public:
    void queue(const QByteArray& bytes);
    bool idle() const { return pending_.isEmpty(); }
    QByteArray take(std::uint32_t baud);

private:
    sim::LinePace pace_;
    QByteArray pending_;
};
