// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Date and time texts: "yyyy/MM/dd hh:mm:ss" for logs, "hh:mm:ss yyyy/MM/dd"
// for the editor's "日付と時刻" command. Local time.
#include <ctime>
#include <string>

namespace quelvo {

std::string ShortDateTimeText(std::time_t when);
std::string TimeThenDateText(std::time_t when);

}  // namespace quelvo
