// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/dnc/DncRequest.h"

#include <regex>
#include <string_view>

namespace quelvo {

std::string RequestRuleProblem(const std::string& rule) {
  if (rule.size() > kRequestRuleMax) {
    return "request_rule is longer than " + std::to_string(kRequestRuleMax) + " characters";
  }
  try {
    const std::regex expression(rule);
    if (expression.mark_count() < 1) return "request_rule has no group";
  } catch (const std::regex_error&) {
    return "request_rule is no valid expression";
  }
  return "";
}

std::string RequestedProgram(const std::string& text, const std::string& rule) {
  if (!RequestRuleProblem(rule).empty()) return "";
  const std::regex expression(rule);
  const std::string_view all(text);
  std::string found;
  int lines = 0;
  size_t pos = 0;
  while (pos < all.size()) {
    size_t end = all.find('\n', pos);
    if (end == std::string_view::npos) end = all.size();
    std::string_view line = all.substr(pos, end - pos);
    pos = end + 1;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
    if (line.empty() || line == "%") continue;
    if (++lines > kRequestMaxLines) return "";
    if (!found.empty() || line.size() > kRequestLineMax) continue;
    std::match_results<std::string_view::const_iterator> match;
    try {
      if (std::regex_search(line.begin(), line.end(), match, expression) && match.size() > 1) {
        found = match[1].str();
        while (!found.empty() && found.back() == ' ') found.pop_back();
      }
    } catch (const std::regex_error&) {
      // The engine gave up on this line (too complex): it is no request line.
    }
  }
  return found;
}

}  // namespace quelvo
