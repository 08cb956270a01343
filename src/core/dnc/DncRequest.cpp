#include "core/dnc/DncRequest.h"

#include <regex>

namespace quelvo {

std::string RequestedProgram(const std::string& text, const std::string& rule) {
  const std::regex expression(rule);
  std::string found;
  int lines = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (line.empty() || line == "%") continue;
    if (++lines > kRequestMaxLines) return "";
    std::smatch match;
    if (found.empty() && std::regex_search(line, match, expression) && match.size() > 1) {
      found = match[1].str();
      while (!found.empty() && found.back() == ' ') found.pop_back();
    }
  }
  return found;
}

}  // namespace quelvo
