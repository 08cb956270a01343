// SPDX-License-Identifier: GPL-3.0-or-later
// The request matcher on arbitrary received programs (the control's side),
// with the default rule or one of a few a shop might write, and a rule from
// the input checked as the configuration checks it. Matching must end
// without a crash however long the lines; a name found is a part of the text.
#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "core/dnc/DncConfig.h"
#include "core/dnc/DncRequest.h"

using namespace quelvo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::FuzzInput in(data, size);
  static const char* const kRules[] = {
      kDefaultRequestRule,
      R"(^\(ASK (.*)\)$)",
      R"(REQ[ :]*(O[0-9]{1,8}))",
      R"(\((?:REQ|GET) +([A-Z0-9_.-]+)\))",
  };
  const int choice = in.Between(0, 4);
  std::string text = in.Rest();
  std::string rule;
  if (choice < 4) {
    rule = kRules[choice];
  } else {
    // The first line is the rule; the configuration decides whether it serves.
    const size_t end = text.find('\n');
    rule = text.substr(0, end);
    text = end == std::string::npos ? "" : text.substr(end + 1);
    if (!RequestRuleProblem(rule).empty()) return 0;
    // Only the rule's length is bounded, not how hard it is to match: a rule
    // from the input is run on a short text so that a slow one is no hang.
    if (text.size() > 12) text.resize(12);
  }
  const std::string name = RequestedProgram(text, rule);
  fuzz::Check(name.empty() || text.find(name) != std::string::npos, "the requested name comes from the text");
  return 0;
}
