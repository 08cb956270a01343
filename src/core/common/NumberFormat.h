// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Number display patterns: "0" a digit always shown, "#" a digit shown when
// significant, "," thousands grouping, "." the decimal point, any other
// character copied ("###,###,##0ﾊﾞｲﾄ", "0.000", "#0秒", "_000").
#include <string>

namespace quelvo {

std::string FormatFloat(const std::string& pattern, double value);

}  // namespace quelvo
