#include "editor/TextLines.h"

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
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
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
  const std::size_t size = text.size();
  std::size_t copied = 0;
  for (std::size_t i = 0; i < size; ++i) {
    const char c = text[i];
    if (c == '\r') {
      if (i + 1 < size && text[i + 1] == '\n') {
        ++i;  // already CR LF
        continue;
      }
      out.append(text.substr(copied, i + 1 - copied));
      out.push_back('\n');
      copied = i + 1;
    } else if (c == '\n') {
      out.append(text.substr(copied, i - copied));
      out.append("\r\n");
      copied = i + 1;
    }
  }
  out.append(text.substr(copied));
  return out;
}

void NormalizeLineEndsToCrLf(std::string& text) {
  if (MissingCrLfBytes(text) == 0) return;
  text = WithCrLfLineEnds(text);
}

}  // namespace quelvo
