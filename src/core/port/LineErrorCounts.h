// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The receive errors a serial driver counts: characters with a bad stop bit
// (framing), a bad parity bit, characters lost because the UART was not read
// in time (overrun) or because the driver's buffer was full (buffer overrun),
// and breaks. A port reports them counted from its Open, so one transfer's
// figures are its own.
#include <cstdint>

namespace quelvo {

struct LineErrorCounts {
  uint64_t framing = 0;
  uint64_t parity = 0;
  uint64_t overrun = 0;
  uint64_t bufferOverrun = 0;
  uint64_t breaks = 0;

  bool Any() const { return framing + parity + overrun + bufferOverrun + breaks != 0; }
  // Framing or parity errors: characters that arrived changed.
  bool Garbled() const { return framing + parity != 0; }
};

}  // namespace quelvo
