#include "LinePace.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <unistd.h>

namespace {

// A piece of a cut reply is followed by this pause, longer than the configurator's 10 ms tick.
constexpr auto kPieceGap = std::chrono::milliseconds(15);
// The rate of a line whose setting cannot be read.
constexpr std::uint32_t kFallbackBaud = 115200;
constexpr double kBitsPerByte = 10;

double characterNs(std::uint32_t baud)
{
    return kBitsPerByte * 1e9 / (baud != 0 ? baud : kFallbackBaud);
}

double nsOf(LinePace::Clock::time_point at)
{
    return static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(at.time_since_epoch()).count());
}

} // namespace

void LinePace::wake(Clock::time_point now)
{
    nextSlotNs_ = std::max(nextSlotNs_, nsOf(now));
}

qsizetype LinePace::due(Clock::time_point now, std::uint32_t baud) const
{
    const double waitedNs = nsOf(now) - nextSlotNs_;
    if (waitedNs < 0)
        return 0;
    return 1 + static_cast<qsizetype>(std::floor(waitedNs / characterNs(baud)));
}

void LinePace::spend(qsizetype bytes, std::uint32_t baud)
{
    nextSlotNs_ += static_cast<double>(bytes) * characterNs(baud);
}

void PacedSender::queue(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return;
    if (pending_.isEmpty())
        pace_.wake(LinePace::Clock::now());
    pending_ += bytes;
}

bool PacedSender::send(int fd)
{
    qsizetype count = std::min(pace_.due(LinePace::Clock::now(), baud_), pending_.size());
    if (pieceSize_ > 0)
        count = std::min<qsizetype>(count, pieceSize_ - sentOfPiece_);
    if (count <= 0)
        return true;
    const ssize_t written = ::write(fd, pending_.constData(), static_cast<std::size_t>(count));
    if (written < 0)
        return errno == EAGAIN || errno == EINTR;
    pending_.remove(0, written);
    pace_.spend(written, baud_);
    if (pieceSize_ > 0 && (sentOfPiece_ += static_cast<int>(written)) >= pieceSize_) {
        sentOfPiece_ = 0;
        // The pause is line time like any other: the next piece's slot follows it.
        pace_.wake(LinePace::Clock::now() + kPieceGap);
    }
    return true;
}

void PacedReceiver::queue(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return;
    if (pending_.isEmpty())
        pace_.wake(LinePace::Clock::now());
    pending_ += bytes;
}

QByteArray PacedReceiver::take(std::uint32_t baud)
{
    const qsizetype count = std::min(pace_.due(LinePace::Clock::now(), baud), pending_.size());
    if (count <= 0)
        return {};
    const QByteArray taken = pending_.left(count);
    pending_.remove(0, count);
    pace_.spend(count, baud);
    return taken;
}
