// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Virtual time shared by the fake port and the fake host: a wait or a read
// time-out advances it instead of sleeping.
#include <cstdint>
#include <ctime>

namespace quelvo {

struct VirtualClock {
  int64_t nowMs = 0;
  // Wall-clock time at virtual 0: 2026/12/07 09:30:00 local time is set by the
  // tests that print it; any fixed value keeps runs repeatable.
  std::time_t epoch = 1796635800;

  void Advance(int64_t ms) { nowMs += ms; }
  std::time_t Wall() const { return epoch + static_cast<std::time_t>(nowMs / 1000); }
};

}  // namespace quelvo
