#pragma once

// The COM column of the port operations: a serial device node driven through
// termios with the behaviour of a Win32 COM port. The line is raw, the port
// is held exclusively, reads never wait, and a write never waits without limit.

#include "CommApi.h"
#include "PortHolders.h"

#include <optional>

namespace serdev {

CommApiColumn comPortColumn();

// The program found holding the port when this thread's last CreateFile was
// refused with EBUSY for it; none when the refusal had another cause.
std::optional<PortHolder> comPortHolderOfLastRefusal();

// How long a write may wait for room in a full output queue before it fails
// with ETIMEDOUT. Tests shorten it.
void setComWriteStallLimitMs(int ms);
int comWriteStallLimitMs();

} // namespace serdev
