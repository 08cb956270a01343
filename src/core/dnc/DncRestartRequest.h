// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A control asks for a program from one of its blocks on (after a broken
// tool, say) with a short program whose comment names the program and the
// block: "(REQ O1234 N4800)" the block numbered N4800 as written in the
// program, "(REQ O1234 L4800)" its line 4800. The same limit on the request
// program's length holds as for a plain request (DncRequest.h).
#include <string>

#include "core/toolpath/RestartPlan.h"

namespace quelvo {

struct DncRestartRequest {
  std::string program;  // the name requested, as for a plain request
  RestartPoint point;
};

// True when `text` (a received file's bytes) is such a request.
bool RestartRequested(const std::string& text, DncRestartRequest* request);

}  // namespace quelvo
