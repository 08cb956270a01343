// SPDX-License-Identifier: GPL-3.0-or-later
// The library's part of a worker's transfers: every program received is
// committed, every program sent recorded, and a program that comes back
// different from what was last sent to this machine is flagged in the state
// and the journal with the number of blocks changed.
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
}

}  // namespace quelvo
