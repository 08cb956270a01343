// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/WaitTimeText.h"

#include <limits>

namespace quelvo {

WaitTimeParse ParseWaitTime(const std::string& text) {
  WaitTimeParse parse;
  if (text.empty()) return parse;
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') {
      parse.status = WaitTimeStatus::NotDigits;
      return parse;
    }
    value = value * 10 + (c - '0');
    if (value > std::numeric_limits<int32_t>::max()) {
      parse.status = WaitTimeStatus::TooLarge;
      return parse;
    }
  }
  parse.status = WaitTimeStatus::Ok;
  parse.milliseconds = static_cast<int32_t>(value);
  return parse;
}

std::string WaitTimeRefusal(WaitTimeStatus status) {
  switch (status) {
    case WaitTimeStatus::NotDigits:
      return "ｳｪｲﾄﾀｲﾑは数字(ﾐﾘ秒)で入力してください。\n設定は保存されていません。";
    case WaitTimeStatus::TooLarge:
      return "ｳｪｲﾄﾀｲﾑが大きすぎます(2147483647ﾐﾘ秒まで)。\n設定は保存されていません。";
    case WaitTimeStatus::Ok:
    case WaitTimeStatus::Empty:
      break;
  }
  return {};
}

}  // namespace quelvo
