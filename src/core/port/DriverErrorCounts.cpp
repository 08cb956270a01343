// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/port/DriverErrorCounts.h"

#include <linux/serial.h>
#include <sys/ioctl.h>

namespace quelvo {

bool ReadDriverCounts(int fd, LineErrorCounts* counts) {
  serial_icounter_struct icount{};
  if (::ioctl(fd, TIOCGICOUNT, &icount) != 0) return false;
  // The driver's counters are ints that wrap; kept unsigned so a difference
  // across a wrap still comes out right.
  counts->framing = static_cast<unsigned>(icount.frame);
  counts->parity = static_cast<unsigned>(icount.parity);
  counts->overrun = static_cast<unsigned>(icount.overrun);
  counts->bufferOverrun = static_cast<unsigned>(icount.buf_overrun);
  counts->breaks = static_cast<unsigned>(icount.brk);
  return true;
}

}  // namespace quelvo
