#pragma once
// The texts of the send progress panel: what remains, as bytes or as metres of
// tape, and about how long it takes.
#include <cstdint>
#include <string>

namespace quelvo {

// `chars` as "1,234,567ﾊﾞｲﾄ", or with `meters` as tape length "12.70ﾒｰﾄﾙ".
std::string RemainingAmountText(int64_t chars, bool meters);

// "0秒" .. "59秒", "1分05秒" .. "59分59秒", then "1時02分" (hours and minutes).
std::string RemainingTimeText(int32_t seconds);

// "残り " + amount + "(約 " + time + ")". A negative amount (the last line may
// count more than remained) shows as 0.
std::string ProgressPanelText(int64_t remainingChars, int32_t remainingSeconds, bool meters);

}  // namespace quelvo
