// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/document/TextLines.h"

#include <cstring>

namespace quelvo {

// One byte for each LF without a CR before it and one for each CR without an LF
// after it. memchr keeps the scan of a large CR LF document close to memory speed.
std::size_t MissingCrLfBytes(std::string_view text) {
  const char* begin = text.data();
  const char* end = begin + text.size();
  std::size_t missing = 0;
  for (const char* p = begin; p < end;) {
    const void* hit = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
    if (!hit) break;
    const char* lf = static_cast<const char*>(hit);
    if (lf == begin || lf[-1] != '\r') ++missing;
    p = lf + 1;
  }
  for (const char* p = begin; p < end;) {
    const void* hit = std::memchr(p, '\r', static_cast<std::size_t>(end - p));
    if (!hit) break;
    const char* cr = static_cast<const char*>(hit);
    if (cr + 1 == end || cr[1] != '\n') ++missing;
    p = cr + 1;
  }
  return missing;
}

std::vector<std::string_view> SplitTextLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  const std::size_t size = text.size();
  while (start < size) {
    // A plain loop: find_first_of runs a search of its own for every byte.
    std::size_t end = start;
    while (end < size && text[end] != '\r' && text[end] != '\n') ++end;
    if (end == size) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + ((text[end] == '\r' && end + 1 < size && text[end + 1] == '\n') ? 2 : 1);
  }
  return lines;
}

std::string WithCrLfLineEnds(std::string_view text) {
  std::string out;
  out.reserve(text.size() + MissingCrLfBytes(text));
  const char* p = text.data();
  const char* const end = p + text.size();
  // Line by line from one LF to the next; inside a line every CR is a lone one.
  while (p < end) {
    const void* hit = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
    const char* lf = hit ? static_cast<const char*>(hit) : end;
    const char* body = (lf < end && lf > p && lf[-1] == '\r') ? lf - 1 : lf;
    for (const char* q = p; q < body;) {
      const void* crHit = std::memchr(q, '\r', static_cast<std::size_t>(body - q));
      if (!crHit) {
        out.append(q, static_cast<std::size_t>(body - q));
        break;
      }
      const char* cr = static_cast<const char*>(crHit);
      out.append(q, static_cast<std::size_t>(cr - q));
      out.append("\r\n");
      q = cr + 1;
    }
    if (lf == end) break;
    out.append("\r\n");
    p = lf + 1;
  }
  return out;
}

void NormalizeLineEndsToCrLf(std::string& text) {
  if (MissingCrLfBytes(text) == 0) return;
  text = WithCrLfLineEnds(text);
}

}  // namespace quelvo
