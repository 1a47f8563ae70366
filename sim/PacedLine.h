#pragma once

#include "LinePace.h"

#include <QByteArray>

#include <cstdint>

// The simulator's two directions of a pseudo-terminal or serial device, which
// would move bytes at once: each byte crosses no faster than its LinePace slot.

// Bytes waiting for their slots on one direction of the line.
class PacedBytes {
public:
    void queue(const QByteArray& bytes);
    bool idle() const { return pending_.isEmpty(); }

protected:
    sim::LinePace pace_;
    QByteArray pending_;
};

// Moves the adapter's replies onto the line at the adapter's baud rate,
// optionally in pieces with pauses between them.
class PacedSender : public PacedBytes {
public:
    PacedSender(std::uint32_t baud, int pieceSize)
        : baud_(baud)
        , pieceSize_(pieceSize)
    {
    }

    // Returns false when the line is gone.
    bool send(int fd);

private:
    std::uint32_t baud_;
    int pieceSize_;
    int sentOfPiece_ = 0;
};

// Hands what the host wrote to the adapter at the pace of the host's line rate.
class PacedReceiver : public PacedBytes {
public:
    QByteArray take(std::uint32_t baud);
};
