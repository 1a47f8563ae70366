#pragma once

// The COM column of the port operations: a serial device node driven through
// termios with the behaviour of a Win32 COM port. The line is raw, the port
// is held exclusively, reads never wait, and a write never waits without limit.

#include "CommApi.h"

namespace serdev {

CommApiColumn comPortColumn();

// How long a write may wait for room in a full output queue before it fails
// with ETIMEDOUT. Tests shorten it.
void setComWriteStallLimitMs(int ms);
int comWriteStallLimitMs();

} // namespace serdev
