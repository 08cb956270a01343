// SPDX-License-Identifier: GPL-3.0-or-later
// The commands whose work lives in the core: the toolpath listing, and the
// shop service's status and queue. Each keeps the exit statuses its help names.
#include "cli/CliCommand.h"
#include "core/dnc/DncCommands.h"
#include "core/toolpath/ToolpathCommand.h"

namespace quelvo::cli {

int RunToolpath(const std::vector<std::string>& args, CliIo& io) {
  return RunToolpathCommand(args, io.out, io.err);
}

int RunStatus(const std::vector<std::string>& args, CliIo& io) {
  return RunStatusCommand(args, io.out, io.err);
}

int RunQueue(const std::vector<std::string>& args, CliIo& io) {
  return RunQueueCommand(args, io.out, io.err);
}

}  // namespace quelvo::cli
