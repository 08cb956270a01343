// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a machine's worker is doing, as the service publishes it: one small
// file per machine in the state folder (<state_dir>/<machine>.state, lines
// "key=value"), replaced atomically on every change, so a reader always sees
// a whole state. `quelvo-cli status` reads these files.
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace quelvo {

enum class WorkerActivity { kStarting, kWaiting, kReceiving, kSending, kOffline, kStopped };

struct WorkerStatus {
  std::string machine;
  WorkerActivity activity = WorkerActivity::kStarting;
  std::string program;    // the program in transfer
  int percent = -1;       // how far a send has got; -1 unknown
  long lines = 0;         // lines received so far
  bool held = false;      // a send the control holds with its pause code
  std::string reason;     // why the machine is offline
  int queued = 0;         // files waiting in the spool
  std::time_t since = 0;  // when the activity began
  long pid = 0;           // the service process that wrote the state
  std::string notice;     // the last thing flagged, e.g. "O1234 changed at the machine: 3 blocks"
};

const char* ActivityName(WorkerActivity activity);

// The state file's text, and back; nullopt for a text that is no state.
std::string StatusFileText(const WorkerStatus& status);
std::optional<WorkerStatus> ParseStatusFile(const std::string& text);

std::string StatusFilePath(const std::string& stateDir, const std::string& machine);
// Writes the state file atomically; false with the reason.
bool PublishStatus(const std::string& stateDir, const WorkerStatus& status, std::string* error);

// An operator's acknowledgement of a machine's notice (from the dashboard):
// the file <stateDir>/<machine>.ack, written when the notice was seen. The
// worker clears a notice no newer than the file and removes the file.
std::string NoticeAckPath(const std::string& stateDir, const std::string& machine);
bool AcknowledgeNotice(const std::string& stateDir, const std::string& machine, std::string* error);
// When the acknowledgement was written (0: none waits).
std::time_t NoticeAcknowledgedAt(const std::string& stateDir, const std::string& machine);

// The state for the user: "待機中", "受信中 O1234.nc 120 行", "送信中 O1234.nc 12 %"
// (with " (NC 機が一時停止中)" while its pause code holds the send),
// "オフライン: reason", "停止: reason". The state file and the JSON "state" keep
// ActivityName, which scripts read.
// A notice follows in brackets ("待機中 [O1234 changed at the machine: 3 blocks]").
std::string StatusDetail(const WorkerStatus& status);
// The status table of `quelvo-cli status`, and the same as JSON.
std::string StatusTable(const std::vector<WorkerStatus>& workers);
std::string StatusJson(const std::vector<WorkerStatus>& workers);

}  // namespace quelvo
