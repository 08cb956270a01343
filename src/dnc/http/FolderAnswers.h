// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The dashboard's answers about a machine's folders, apart from the server
// library: its library (listed, a program queued from it), its queue's order,
// its inbox (listed, a program compared with the library's), its last
// transfer's log and the acknowledgement of its notice. Every file name has
// passed ParseRoute (a plain name); each answer opens it only inside its own
// folder and says plainly why it cannot.
#include <ctime>
#include <string>

#include "core/dnc/DncConfig.h"

namespace quelvo::http {

struct Answer {
  unsigned status = 200;
  std::string body;  // JSON unless `type` says otherwise
  std::string type = "application/json; charset=utf-8";
  std::string journal;  // a line for the service's journal; "" none
};

Answer LibraryListAnswer(const MachineConfig& machine);
Answer QueueFromLibraryAnswer(const MachineConfig& machine, const std::string& file, std::time_t now);
Answer MoveQueuedAnswer(const MachineConfig& machine, const std::string& file, int steps);
Answer InboxListAnswer(const MachineConfig& machine);
// The inbox's `file` against the library's program of the same name, as
// `quelvo-cli compare --ignore-frame` shows it (the report cut at `maxText` bytes).
Answer InboxCompareAnswer(const MachineConfig& machine, const std::string& file, size_t maxText = 2 << 20);
// The newest communication log of the machine as text (its last `maxBytes` bytes).
Answer LastLogAnswer(const DncConfig& config, const MachineConfig& machine, size_t maxBytes = 256 << 10);
Answer NoticeAckAnswer(const DncConfig& config, const MachineConfig& machine);

// "attachment; filename=..." for a plain file name, safe in a header whatever
// the name holds (non-ASCII and quotes percent-encoded).
std::string AttachmentHeader(const std::string& file);

}  // namespace quelvo::http
