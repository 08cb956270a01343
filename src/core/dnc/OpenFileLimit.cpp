// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/dnc/OpenFileLimit.h"

#include <sys/resource.h>

namespace quelvo {
namespace {

long AsLong(rlim_t value) { return value == RLIM_INFINITY ? -1 : static_cast<long>(value); }

}  // namespace

long OpenFilesNeeded(size_t machines) {
  // Per machine its line, a log, a staging or spool file and one spare; the
  // rest for the journal, the library, the dashboard and its clients.
  return static_cast<long>(machines) * 4 + 256;
}

OpenFileLimit RaiseOpenFileLimit() {
  OpenFileLimit limit;
  rlimit now{};
  if (getrlimit(RLIMIT_NOFILE, &now) != 0) return limit;
  limit.before = limit.after = AsLong(now.rlim_cur);
  limit.hard = AsLong(now.rlim_max);
  if (now.rlim_cur == now.rlim_max) return limit;
  rlimit wanted = now;
  wanted.rlim_cur = now.rlim_max;
  if (setrlimit(RLIMIT_NOFILE, &wanted) != 0) return limit;
  limit.after = AsLong(wanted.rlim_cur);
  limit.raised = true;
  return limit;
}

std::vector<std::string> OpenFileLimitNotes(const OpenFileLimit& limit, size_t machines) {
  std::vector<std::string> notes;
  if (limit.raised) {
    notes.push_back("open files: limit raised from " + std::to_string(limit.before) + " to " +
                    (limit.after < 0 ? std::string("unlimited") : std::to_string(limit.after)));
  }
  const long needed = OpenFilesNeeded(machines);
  if (limit.after >= 0 && limit.after < needed) {
    notes.push_back("open files: at most " + std::to_string(limit.after) + ", but " + std::to_string(machines) +
                    " machines may need " + std::to_string(needed) + " (raise LimitNOFILE of the service)");
  }
  return notes;
}

}  // namespace quelvo
