#pragma once

namespace platform {

// The program asks for fine timer resolution for its whole life, as a
// Windows program raises the system timer resolution to 1 ms: while at least
// one request is open, window timers on the system clock are precise; without
// one, the system may coalesce their ticks to save power.
void beginPreciseTimers();
void endPreciseTimers();
bool preciseTimersRequested();

} // namespace platform
