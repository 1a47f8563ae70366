#include "LinePace.h"

#include <algorithm>
#include <cmath>

namespace sim {

double LinePace::characterMs(std::uint32_t baud)
{
    constexpr double kBitsPerByte = 10;
    return kBitsPerByte * 1000 / (baud != 0 ? baud : kDefaultBaud);
}

void LinePace::wake(double nowMs)
{
    nextSlotMs_ = std::max(nextSlotMs_, nowMs);
}

qsizetype LinePace::due(double nowMs, std::uint32_t baud) const
{
    const double waitedMs = nowMs - nextSlotMs_;
    if (waitedMs < 0)
        return 0;
    return 1 + static_cast<qsizetype>(std::floor(waitedMs / characterMs(baud)));
}

void LinePace::spend(qsizetype bytes, std::uint32_t baud)
{
    nextSlotMs_ += static_cast<double>(bytes) * characterMs(baud);
}

} // namespace sim
