// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Linux serial driver's interrupt counters (TIOCGICOUNT), kept apart from
// the termios code because <linux/serial.h> brings kernel headers with it.
#include "core/port/LineErrorCounts.h"

namespace quelvo {

// The totals the driver of `fd` has counted since it was loaded; false when
// it keeps none (pseudo-terminals, network ports, many USB adapters).
bool ReadDriverCounts(int fd, LineErrorCounts* counts);

}  // namespace quelvo
