// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/DateTimeText.h"

namespace quelvo {
namespace {

std::string FormatLocal(std::time_t when, const char* format) {
  std::tm local{};
  localtime_r(&when, &local);
  char buf[64];
  const size_t n = std::strftime(buf, sizeof buf, format, &local);
  return std::string(buf, n);
}

}  // namespace

std::string ShortDateTimeText(std::time_t when) { return FormatLocal(when, "%Y/%m/%d %H:%M:%S"); }

std::string TimeThenDateText(std::time_t when) { return FormatLocal(when, "%H:%M:%S %Y/%m/%d"); }

}  // namespace quelvo
