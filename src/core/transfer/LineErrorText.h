// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the driver's receive error counts of a transfer are told: one log line
// when any is not zero, and the text a front end shows when the port keeps no
// counts at all.
#include <string>

#include "core/port/LineErrorCounts.h"
#include "core/port/SerialPort.h"
#include "core/transfer/CommLog.h"

namespace quelvo {

// "  回線ｴﾗｰ ﾌﾚｰﾐﾝｸﾞ 3 ﾊﾟﾘﾃｨ 12 ｵｰﾊﾞｰﾗﾝ 0 ﾊﾞｯﾌｧｵｰﾊﾞｰﾗﾝ 0\n" (breaks added when
// there were any); empty when every count is zero.
std::string LineErrorLogLine(const LineErrorCounts& counts);

// The driver's counts over one transfer, as its result carries them.
struct LineErrorReport {
  bool portOpen = false;  // they were asked for while the port was open
  bool counted = false;   // the port keeps counts (false: it or its driver keeps none)
  LineErrorCounts counts;

  // Adds a later pass of the same run (a repeat series).
  void Add(const LineErrorReport& pass);
};

// Reads the counts of `port` since its opening into *report (added to what it
// holds) and appends LineErrorLogLine to `log` when any is not zero. A port
// that is not open or keeps no counts adds nothing to the log. Called by the
// engines before their closing log line, while the port is still open.
void LogLineErrors(SerialPort& port, CommLog& log, LineErrorReport* report);

// Said instead of figures when the port or its driver counts nothing.
inline constexpr const char* kNoLineErrorCounts = "このﾎﾟｰﾄは回線ｴﾗｰを数えません";

}  // namespace quelvo
