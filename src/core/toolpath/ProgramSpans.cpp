// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/toolpath/ProgramSpans.h"

#include <algorithm>

namespace quelvo {

namespace {
bool StartsProgram(std::string_view s, size_t at) {
  while (at < s.size() && (s[at] == ' ' || s[at] == '\t')) ++at;
  return at + 1 < s.size() && (s[at] == 'O' || s[at] == 'o' || s[at] == ':') && s[at + 1] >= '0' &&
         s[at + 1] <= '9';
}
}  // namespace

std::vector<ProgramSpan> FindPrograms(std::string_view text) {
  std::vector<ProgramSpan> spans;
  ProgramSpan current;
  bool seenHeader = false;
  int32_t line = 1;
  size_t at = 0;
  while (true) {
    if (StartsProgram(text, at)) {
      if (seenHeader) {
        current.end = at;
        current.lastLine = line - 1;
        spans.push_back(current);
        current = ProgramSpan{at, at, line, line};
      }
      seenHeader = true;
    }
    const size_t nl = text.find('\n', at);
    if (nl == std::string_view::npos) break;
    at = nl + 1;
    if (at >= text.size()) break;
    ++line;
  }
  current.end = text.size();
  current.lastLine = line;
  spans.push_back(current);
  return spans;
}

size_t ProgramAt(const std::vector<ProgramSpan>& spans, int32_t line) {
  auto it = std::upper_bound(spans.begin(), spans.end(), line,
                             [](int32_t l, const ProgramSpan& s) { return l < s.firstLine; });
  return it == spans.begin() ? 0 : static_cast<size_t>(it - spans.begin()) - 1;
}

}  // namespace quelvo
