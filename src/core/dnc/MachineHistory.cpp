// SPDX-License-Identifier: GPL-3.0-or-later
// The library's part of a worker's transfers: every program received is
// committed, every program sent recorded, and a program that comes back
// different from what was last sent to this machine is flagged in the state
// and the journal with the number of blocks changed. The flag stays until the
// program is sent to the machine again (the machine then holds the library's
// revision) or an operator acknowledges it.
#include <unistd.h>

#include "core/compare/ProgramCompare.h"
#include "core/dnc/LibraryPush.h"
#include "core/dnc/MachineWorker.h"
#include "core/dnc/ProgramHistory.h"
#include "core/document/DocumentFile.h"

namespace quelvo {

void MachineWorker::RecordReception(const std::string& bytes, const std::string& fileName) {
  if (!history_) return;
  const std::string program = ProgramNameOf(bytes, fileName);
  std::string lastSent, error, commit;
  if (history_->LastSent(program, machine_.name, &lastSent, &error)) {
    // A program punched back comes framed in "%" and tape feed whatever it was sent with.
    CompareOptions options;
    options.ignoreFrame = true;
    const CompareResult result = CompareTexts(DocumentTextFromBytes(lastSent), DocumentTextFromBytes(bytes), options);
    if (!result.Same()) {
      const std::size_t blocks = result.Differing();
      status_.notice =
          program + " changed at the machine: " + std::to_string(blocks) + (blocks == 1 ? " block" : " blocks");
      noticeAt_ = std::time(nullptr);
      Say(status_.notice + " (" + std::to_string(result.changed) + " changed, " + std::to_string(result.added) +
          " added, " + std::to_string(result.removed) + " removed)");
      Publish();
    }
  } else if (!error.empty()) {
    Say("library: " + error);
  }
  if (!history_->RecordReceived(program, machine_.name, bytes, "punch", std::time(nullptr), &commit, &error)) {
    Say("library: " + program + " not committed: " + error);
    return;
  }
  Say("library: " + program + " committed as " + commit.substr(0, 12));
  if (push_) push_->Request();
}

void MachineWorker::RecordSend(const std::string& fileName, const std::string& bytes, bool fromSpool) {
  if (!history_) return;
  const std::string program = ProgramNameOf(bytes, fileName);
  std::string error;
  if (!history_->RecordSent(program, machine_.name, bytes, fromSpool ? "queue" : "request", std::time(nullptr),
                            &error)) {
    Say("library: the send of " + program + " not recorded: " + error);
    return;
  }
  if (push_) push_->Request();
  if (status_.notice.rfind(program + " changed at the machine:", 0) == 0) {
    Say("notice cleared: " + program + " sent again");
    status_.notice.clear();
    Publish();
  }
}

void MachineWorker::TakeNoticeAcknowledgement() {
  const std::time_t at = NoticeAcknowledgedAt(service_.stateDir, machine_.name);
  if (at == 0) return;
  ::unlink(NoticeAckPath(service_.stateDir, machine_.name).c_str());
  // A notice that came after the operator looked stays.
  if (status_.notice.empty() || noticeAt_ > at) return;
  Say("notice acknowledged: " + status_.notice);
  status_.notice.clear();
  Publish();
}

}  // namespace quelvo
