// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The texts of the send progress: what remains, as bytes or as metres of
// tape, and about how long it takes; the pass of a repeated send.
#include <cstdint>
#include <string>

namespace quelvo {

// `chars` as "1,234,567ﾊﾞｲﾄ", or with `meters` as tape length "12.70ﾒｰﾄﾙ".
std::string RemainingAmountText(int64_t chars, bool meters);

// "0秒" .. "59秒", "1分05秒" .. "59分59秒", then "1時02分" (hours and minutes).
std::string RemainingTimeText(int32_t seconds);

// "残り " + amount + "(約 " + time + ")". A negative amount (the last line may
// count more than remained) shows as 0.
std::string RemainingProgressText(int64_t remainingChars, int32_t remainingSeconds, bool meters);

// The repeat pass of a repeated send: "送信:001", "送信:002", ...
std::string RepeatCounterText(int count);

}  // namespace quelvo
