// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/transfer/DocumentLines.h"

namespace quelvo {

std::vector<std::string> DocumentLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      return lines;
    }
    if (text[end] == '\n') {
      lines.emplace_back(text.substr(start, end + 1 - start));  // the lone LF stays
      start = end + 1;
    } else {
      lines.emplace_back(text.substr(start, end - start));
      start = end + (end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    }
  }
}

void ReplaceFinalLineFeed(std::vector<std::string>& lines, int index) {
  if (index < 0 || static_cast<size_t>(index) >= lines.size()) return;
  std::string& line = lines[static_cast<size_t>(index)];
  if (!line.empty() && line.back() == '\n') line.pop_back();
}

}  // namespace quelvo
