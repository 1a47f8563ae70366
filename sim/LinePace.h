#pragma once

#include <QtGlobal>

#include <cstdint>

namespace sim {

// A serial line's pace: ten bit times a byte (start bit, eight data bits,
// stop bit). Every byte has a slot on the line: one character time after the
// previous byte's slot, and never before the byte was handed to the line.
// Time the line spent idle is not saved up, so nothing ever crosses it in a
// burst faster than the wire carries it. Times are in milliseconds on
// whatever clock the caller lives by.
class LinePace {
public:
    // The rate of a line whose rate is not set.
    static constexpr std::uint32_t kDefaultBaud = 9600;

    static double characterMs(std::uint32_t baud);

    // Bytes are handed to an idle line at `nowMs`: the next slot is no earlier.
    void wake(double nowMs);
    // How many bytes have had their slot by `nowMs` at `baud`.
    qsizetype due(double nowMs, std::uint32_t baud) const;
    // `bytes` crossed the line in their slots.
    void spend(qsizetype bytes, std::uint32_t baud);

private:
    double nextSlotMs_ = 0;
};

} // namespace sim
