#pragma once

// How the line state of a Win32 COM port (its DCB) maps onto a terminal's.

#include "CommTypes.h"
#include "KernelTermios.h"

namespace serdev {

// The line of a Win32 COM port as it opens: every byte carried unchanged both
// ways. No echo, no canonical input, no translation of CR and LF, no output
// processing, no software flow control and no hardware handshake, modem lines
// ignored, whatever the kernel or another program left on the port; rate,
// parity, data and stop bits stay as they are.
void makeRaw(KernelLine& line);

// The raw line with the rate, parity, data bits, stop bits and flow control
// of `dcb`; false, leaving it untouched, for values no terminal can take.
bool applyDcb(const DCB& dcb, KernelLine& line);

// Fills the members of `dcb` that a terminal has from `line` and the state of
// its modem lines.
void readDcb(const KernelLine& line, bool rtsRaised, bool dtrRaised, DCB& dcb);

} // namespace serdev
