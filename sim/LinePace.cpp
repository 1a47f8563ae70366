#include "LinePace.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace {

// A piece of a cut reply is followed by this pause, longer than the configurator's 10 ms tick.
constexpr int kPieceGapMs = 15;
// Unused line time is not saved up beyond this many bytes.
constexpr double kMaxBurstBytes = 64;
// The rate of a line whose setting cannot be read.
constexpr std::uint32_t kFallbackBaud = 115200;

} // namespace

qsizetype LinePace::allowance(std::uint32_t baud)
{
    const auto now = std::chrono::steady_clock::now();
    const double elapsedMs = std::chrono::duration<double, std::milli>(now - last_).count();
    last_ = now;
    const double bytesPerMs = (baud != 0 ? baud : kFallbackBaud) / 10.0 / 1000.0;
    credit_ = std::min(credit_ + elapsedMs * bytesPerMs, kMaxBurstBytes);
    return static_cast<qsizetype>(credit_);
}

bool PacedSender::send(int fd)
{
    const qsizetype allowed = pace_.allowance(baud_);
    const auto now = std::chrono::steady_clock::now();
    if (pending_.isEmpty() || now < pieceGapEnds_)
        return true;
    qsizetype count = allowed;
    if (pieceSize_ > 0)
        count = std::min<qsizetype>(count, pieceSize_ - sentOfPiece_);
    count = std::min(count, pending_.size());
    if (count == 0)
        return true;
    const ssize_t written = ::write(fd, pending_.constData(), static_cast<std::size_t>(count));
    if (written < 0)
        return errno == EAGAIN || errno == EINTR;
    pending_.remove(0, written);
    pace_.spend(written);
    if (pieceSize_ > 0 && (sentOfPiece_ += static_cast<int>(written)) >= pieceSize_) {
        sentOfPiece_ = 0;
        pieceGapEnds_ = now + std::chrono::milliseconds(kPieceGapMs);
    }
    return true;
}

QByteArray PacedReceiver::take(std::uint32_t baud)
{
    const qsizetype count = std::min(pace_.allowance(baud), pending_.size());
    if (count <= 0)
        return {};
    const QByteArray taken = pending_.left(count);
    pending_.remove(0, count);
    pace_.spend(count);
    return taken;
}
