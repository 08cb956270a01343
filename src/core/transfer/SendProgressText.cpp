// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/transfer/SendProgressText.h"

#include "core/common/NumberFormat.h"
#include "core/transfer/TapeCode.h"

namespace quelvo {

std::string RemainingAmountText(int64_t chars, bool meters) {
  if (meters) return FormatFloat("####0.00ﾒｰﾄﾙ", TapeMeters(chars));
  return FormatFloat("###,###,##0ﾊﾞｲﾄ", static_cast<double>(chars));
}

std::string RemainingTimeText(int32_t s) {
  if (s < 60) return FormatFloat("#0秒", s);
  if (s < 3600) return FormatFloat("#0分", s / 60) + FormatFloat("00秒", s % 60);
  return FormatFloat("##0時", s / 3600) + FormatFloat("00分", (s % 3600) / 60);
}

std::string RemainingProgressText(int64_t remainingChars, int32_t remainingSeconds, bool meters) {
  if (remainingChars < 0) remainingChars = 0;
  return "残り " + RemainingAmountText(remainingChars, meters) + "(約 " +
         RemainingTimeText(remainingSeconds) + ")";
}

std::string RepeatCounterText(int count) { return "送信:" + FormatFloat("000", count); }

}  // namespace quelvo
