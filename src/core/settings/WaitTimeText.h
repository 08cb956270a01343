// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The wait time after each character sent, as typed in the settings dialog:
// a whole number of milliseconds that must fit the stored signed 32-bit field.
#include <cstdint>
#include <string>

namespace quelvo {

enum class WaitTimeStatus {
  Ok,
  Empty,     // nothing typed: the dialog focuses the field and stores nothing
  NotDigits, // something other than the digits 0-9 (pasted text)
  TooLarge,  // above 2147483647
};

struct WaitTimeParse {
  WaitTimeStatus status = WaitTimeStatus::Empty;
  int32_t milliseconds = 0;
};

WaitTimeParse ParseWaitTime(const std::string& text);

// The message shown when a wait time is refused (empty for Ok and Empty).
std::string WaitTimeRefusal(WaitTimeStatus status);

}  // namespace quelvo
