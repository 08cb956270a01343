// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What machines of one configuration may and may not share. A line serves one
// machine: two workers on one port would read each other's bytes. A spool is
// one machine's queue: two workers on one spool would both send a queued
// program, each to its own control. An inbox may be shared: each machine
// stages its receptions apart and no stored program replaces another.
// Ports and folders are compared by what they lead to (links and "COMn"
// names resolved), so two spellings of one device are found too.
#include <string>
#include <vector>

#include "core/dnc/DncConfig.h"

namespace quelvo {

struct DncSharing {
  std::vector<std::string> errors;  // the service refuses to start
  std::vector<std::string> notes;   // served as it is; said at the check and the start
};

DncSharing CheckSharing(const DncConfig& config);

}  // namespace quelvo
