// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/dnc/DncRestartRequest.h"

#include "core/dnc/DncRequest.h"

namespace quelvo {

namespace {

void SkipBlanks(const std::string& s, size_t& i) {
  while (i < s.size() && s[i] == ' ') ++i;
}

// "(REQ name point)" somewhere in `line`.
bool ReadRequest(const std::string& line, DncRestartRequest* request) {
  for (size_t open = line.find('('); open != std::string::npos; open = line.find('(', open + 1)) {
    size_t i = open + 1;
    SkipBlanks(line, i);
    if (line.compare(i, 3, "REQ") != 0) continue;
    i += 3;
    const size_t nameAt = i;
    SkipBlanks(line, i);
    if (i == nameAt) continue;
    const size_t nameEnd = line.find_first_of(") ", i);
    if (nameEnd == std::string::npos || nameEnd == i || line[nameEnd] != ' ') continue;
    const std::string name = line.substr(i, nameEnd - i);
    i = nameEnd;
    SkipBlanks(line, i);
    const size_t pointEnd = line.find_first_of(") ", i);
    if (pointEnd == std::string::npos || pointEnd == i) continue;
    const std::string point = line.substr(i, pointEnd - i);
    i = pointEnd;
    SkipBlanks(line, i);
    if (i >= line.size() || line[i] != ')') continue;
    // Only a block number or a line number with its letter: a bare number
    // could be a second program name.
    if (point[0] != 'N' && point[0] != 'L') continue;
    RestartPoint parsed;
    if (!ParseRestartPoint(point, parsed)) continue;
    request->program = name;
    request->point = parsed;
    return true;
  }
  return false;
}

}  // namespace

bool RestartRequested(const std::string& text, DncRestartRequest* request) {
  DncRestartRequest found;
  bool any = false;
  int lines = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (line.empty() || line == "%") continue;
    if (++lines > kRequestMaxLines) return false;
    if (!any) any = ReadRequest(line, &found);
  }
  if (any) *request = found;
  return any;
}

}  // namespace quelvo
