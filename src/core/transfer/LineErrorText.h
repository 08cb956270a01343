// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the driver's receive error counts of a transfer are told: one log line
// when any is not zero, and the text a front end shows when the port keeps no
// counts at all.
#include <string>

#include "core/port/LineErrorCounts.h"

namespace quelvo {

// "  回線ｴﾗｰ ﾌﾚｰﾐﾝｸﾞ 3 ﾊﾟﾘﾃｨ 12 ｵｰﾊﾞｰﾗﾝ 0 ﾊﾞｯﾌｧｵｰﾊﾞｰﾗﾝ 0\n" (breaks added when
// there were any); empty when every count is zero.
std::string LineErrorLogLine(const LineErrorCounts& counts);

// Said instead of figures when the port or its driver counts nothing.
inline constexpr const char* kNoLineErrorCounts = "このﾎﾟｰﾄは回線ｴﾗｰを数えません";

}  // namespace quelvo
