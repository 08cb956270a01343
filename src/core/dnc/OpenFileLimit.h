// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The service holds every machine's line open at once, and during transfers
// a log, a staging or spool file and the dashboard's connections besides: a
// shop of a few hundred machines passes the usual soft limit of 1024 open
// files. The service raises its own soft limit to the hard limit at start
// and says so, and says when even the hard limit is too low for its machines.
#include <cstddef>
#include <string>
#include <vector>

namespace quelvo {

struct OpenFileLimit {
  long before = 0;  // the soft limit found
  long after = 0;   // the soft limit now
  long hard = 0;    // -1: unlimited
  bool raised = false;
};

// Descriptors a service of `machines` machines may hold at once.
long OpenFilesNeeded(size_t machines);

// Raises the soft limit of open files to the hard limit (when below it).
OpenFileLimit RaiseOpenFileLimit();

// Journal lines about the limit for `machines` machines: one when it was
// raised, one when it stays too low; none otherwise.
std::vector<std::string> OpenFileLimitNotes(const OpenFileLimit& limit, size_t machines);

}  // namespace quelvo
