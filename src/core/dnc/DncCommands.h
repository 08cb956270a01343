// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The shop service's two commands of quelvo-cli, on the files the service
// shares: `status` reads the state every worker publishes, `queue` drops a
// program into a machine's spool. `args` are the words after the command.
//
//   status [--config FILE] [--json]
//   queue [--config FILE] MACHINE FILE
//
// Exit status: 0 done, 1 the command failed (unknown machine, unreadable
// file), 2 bad usage or configuration.
#include <ostream>
#include <string>
#include <vector>

#include "core/dnc/DncConfig.h"
#include "core/dnc/WorkerStatus.h"

namespace quelvo {

// What every machine of `config` has published, in the configuration's order;
// a machine without a state, or whose service has ended, reads as stopped with
// the reason. `status --json` and the dashboard show this.
std::vector<WorkerStatus> ReadServiceStatus(const DncConfig& config);

int RunStatusCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunQueueCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace quelvo
