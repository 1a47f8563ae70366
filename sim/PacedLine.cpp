#include "PacedLine.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <unistd.h>

namespace {

// A piece of a cut reply is followed by this pause, longer than the configurator's 10 ms tick.
constexpr double kPieceGapMs = 15;

double nowMs()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

void PacedBytes::queue(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return;
    if (pending_.isEmpty())
        pace_.wake(nowMs());
    pending_ += bytes;
}

bool PacedSender::send(int fd)
{
    const double now = nowMs();
    qsizetype count = std::min(pace_.due(now, baud_), pending_.size());
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
        pace_.wake(now + kPieceGapMs);
    }
    return true;
}

QByteArray PacedReceiver::take(std::uint32_t baud)
{
    const qsizetype count = std::min(pace_.due(nowMs(), baud), pending_.size());
    if (count <= 0)
        return {};
    const QByteArray taken = pending_.left(count);
    pending_.remove(0, count);
    pace_.spend(count, baud);
    return taken;
}
