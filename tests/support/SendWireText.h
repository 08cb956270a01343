// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The text a whole-document send hands to the byte writer, worked out from
// the send line filter and the fixed sequences rather than by the engine:
// the start sequence, every line the engine reaches (a last line of one
// character is never reached) as the filter yields it with its line end, the
// end sequence. Characters that `code` cannot carry are left out, as the
// writer leaves them out.
#include <string>
#include <vector>

#include "core/settings/CommSetting.h"
#include "core/transfer/TapeCode.h"
#include "core/transfer/send/SendLineFilter.h"
#include "core/transfer/send/SendSequences.h"

namespace quelvo::test {

inline std::string SendWireText(const std::vector<std::string>& lines, const CommSetting& setting,
                                TapeCode code) {
  const SendFilterOptions options = MakeSendFilterOptions(setting, "N");
  const std::string lineEnd = LineEndSequence(setting.CRLF_Type);
  std::string text = StartSequenceFor(setting.StartChar, setting.CRLF_Type).text;
  for (size_t i = 0; i + 1 < lines.size(); ++i) {
    SendLineFilter filter = FilterSendLine(lines[i], options);
    if (filter.Dropped()) continue;
    for (char ch; filter.Next(ch);) text += ch;
    text += lineEnd;
  }
  text += EndSequenceFor(setting.EndChar, setting.Speed_S, setting.CRLF_Type);
  std::string carried;
  for (const char ch : text) {
    if (EncodeChar(code, static_cast<uint8_t>(ch))) carried += ch;
  }
  return carried;
}

// The bytes of `text` on the line in `code`.
inline std::string EncodeForLine(const std::string& text, TapeCode code) {
  std::string bytes;
  for (const char ch : text) {
    if (const auto byte = EncodeChar(code, static_cast<uint8_t>(ch))) bytes += static_cast<char>(*byte);
  }
  return bytes;
}

}  // namespace quelvo::test
