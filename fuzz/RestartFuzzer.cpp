// SPDX-License-Identifier: GPL-3.0-or-later
// Restart plans and restart requests on any text: the first two bytes pick
// the line (and the lathe switch), the rest is the program. A plan that is not
// refused points at the start of its line and at the rest of its program, and
// its program text ends with that rest; a request from a control parses or
// is no request.
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "core/dnc/DncRestartRequest.h"
#include "core/toolpath/RestartPlan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const int32_t line = (data[0] & 0x7f) + 1;
  const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);
  quelvo::RestartOptions options;
  options.interpret.lathe = (data[0] & 0x80) != 0;
  options.hasClearance = (data[1] & 1) != 0;
  options.clearance = data[1];
  const quelvo::RestartPlan plan = quelvo::PlanRestart(text, line, options);
  if (!plan.Refused()) {
    quelvo::fuzz::Check(plan.restBegin <= plan.restEnd && plan.restEnd <= text.size(), "the rest lies in the text");
    quelvo::fuzz::Check(plan.restBegin == 0 || text[plan.restBegin - 1] == '\n', "the rest starts a line");
    const std::string program = quelvo::RestartProgramText(plan, text);
    const std::string_view rest = text.substr(plan.restBegin, plan.restEnd - plan.restBegin);
    quelvo::fuzz::Check(program.size() >= rest.size() && program.compare(program.size() - rest.size(), rest.size(),
                                                                         rest.data(), rest.size()) == 0,
                        "the program ends with the rest as written");
    quelvo::RestartLogLine(plan, text);
  }
  quelvo::fuzz::Check(quelvo::ProposedRestartLine(text, line) < line, "a proposal lies before the line being sent");
  quelvo::DncRestartRequest request;
  quelvo::RestartRequested(std::string(text), &request);
  quelvo::RestartPoint point;
  quelvo::ParseRestartPoint(text.substr(0, 12), point);
  return 0;
}
