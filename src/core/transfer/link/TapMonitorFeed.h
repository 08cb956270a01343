// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a line monitor makes of the tap's events: the text lines (through
// LineMonitor) and the lamps of the line's signals.
#include <cstdint>
#include <vector>

#include "core/transfer/LineMonitor.h"
#include "core/transfer/link/LineTap.h"

namespace quelvo {

// The signal lamps: DTR and RTS as the program drives them, CTS, DSR and DCD
// as the other end drives them.
struct LineLamps {
  bool open = false;            // the port is open
  bool modemReadable = false;   // CTS, DSR, DCD can be read
  std::uint32_t modemBits = 0;  // kModemCts, kModemDsr, kModemDcd
  std::uint32_t outputBits = 0; // kTapDtr, kTapRts

  void Apply(const TapEvent& event);
};

// Hands the events to `monitor` (bytes, modem lines, openings and closings as
// notes) and to `lamps`; `dropped` events the monitor could not keep up with
// are said in a note, so that a gap in the record is never silent.
void ShowTapEvents(const std::vector<TapEvent>& events, std::uint64_t dropped, LineMonitor* monitor,
                   LineLamps* lamps);

}  // namespace quelvo
