// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One machine of the shop service. The worker keeps the machine's line open
// and listens: when the control starts punching it runs the receive engine
// with the machine's setting and stores the program in the inbox (or, for a
// request program, notes the requested name); when the control invites with
// DC1 and a request or a queued program waits, it runs the send engine. A
// line that fails takes only this machine offline; it is opened again every
// retry_seconds until it is back.
//
// Files: a reception is staged in <inbox>/.receiving/<machine>/ under a name
// of its own and renamed into the inbox once complete (a folder watcher never
// sees half a program); a program that ended early is kept in the inbox as
// NAME.incomplete; whatever a killed service left in the machine's staging
// folder is moved out that way at the next start. Machines may share an
// inbox: each stages apart and recovers only its own staging, and a name in
// use gets a suffix instead of being replaced.
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>

#include "core/dnc/DncRestartRequest.h"
#include "core/dnc/DncConfig.h"
#include "core/dnc/HeldPort.h"
#include "core/dnc/WorkerHost.h"
#include "core/dnc/WorkerStatus.h"
#include "core/settings/CommSetting.h"
#include "core/settings/ProgramSettings.h"

namespace quelvo {

class LibraryPush;
class ProgramHistory;

class MachineWorker {
 public:
  using Journal = std::function<void(const std::string&)>;

  // How long a control may take from its first character to the start of a
  // punched program (or from DC1 to the start of a send) before the transfer
  // is given up and the worker listens again.
  static constexpr int64_t kStartWaitMs = 15000;
  // The inbox's staging folder (one sub-folder per machine in it) and the
  // start of a staged reception's name, "receiving now N.part". The name has
  // a space: a name the control sends never does (spaces are taken out of it).
  static constexpr const char* kStagingFolder = ".receiving";
  static constexpr const char* kStagePrefix = "receiving now ";
  // A spooled file is sent once it has not changed for this long.
  static constexpr int kSpoolSettleSeconds = 2;
  // From this many failed sends on, a queued file's trouble is the state's reason.
  static constexpr int kSendFailuresShown = 3;

  MachineWorker(const MachineConfig& machine, const DncConfig& service, const std::atomic<bool>& shutdown,
                Journal journal);

  // Runs until the shutdown flag is set.
  void Run();

  // Moves what an older service left directly in the inbox's staging folder
  // (its one staging file was shared by all machines of the inbox) into the
  // inbox as incomplete. Called before any worker runs, so that nothing
  // being written is taken.
  void RecoverSharedStaging();

  // Keeps every program received and sent in the service's library (both
  // shared by all workers; `push` may be null). Set before Run.
  void UseHistory(ProgramHistory* history, LibraryPush* push) {
    history_ = history;
    push_ = push;
  }

 private:
  bool PrepareFolders();
  // Moves every file of this machine's staging folder out as incomplete.
  void RecoverInterrupted();
  void RecoverFolder(const std::string& folder, bool filesOnly);
  // A fresh staging file name for the next reception.
  std::string StagePath();
  bool OpenLine();
  // Listens until a transfer has run (true) or the line failed (false).
  bool ListenOnce();
  bool Receive(uint8_t first);
  bool SendNext(uint8_t invite);
  // The file to send now: the first pending request's program (a request
  // for a program not in the library gets the missing-program answer, or
  // nothing), else the oldest spooled file; "" when nothing is due.
  std::string NextToSend(bool* fromSpool);
  void StoreReception(const std::string& file);
  // Moves a reception that ended early into the inbox as NAME.incomplete,
  // NAME from the control or the program-number line.
  void KeepIncomplete(const std::string& file, const std::string& programLine);
  std::string LogPath(const char* direction);

  void SetActivity(WorkerActivity activity, const std::string& reason = "");
  void OnProgress(const WorkerHost::Progress& progress);
  void Publish();
  void RefreshQueued();
  void SayRefusedSpoolEntries();
  void Say(const std::string& text) { journal_(machine_.name + ": " + text); }
  void Sleep(int seconds);
  // MachineHistory.cpp: the library's part of a reception and of a send.
  void RecordReception(const std::string& bytes, const std::string& fileName);
  void RecordSend(const std::string& fileName, const std::string& bytes, bool fromSpool);
  // Clears the notice of a program changed at the machine once an operator
  // acknowledged it (the dashboard's acknowledgement file).
  void TakeNoticeAcknowledgement();

  const MachineConfig machine_;
  const DncConfig& service_;
  const std::atomic<bool>& shutdown_;
  Journal journal_;
  std::string staging_;
  CommSetting setting_;
  ProgramOptions options_;
  HeldPort line_;
  WorkerHost host_;
  WorkerStatus status_;
  std::deque<std::string> pendingRequests_;  // names requested, answered in turn
  // Programs requested from a block on (MachineWorkerRestart.cpp), answered
  // before plain requests; the planned program waits in restartText_ for SendNext.
  std::deque<DncRestartRequest> pendingRestarts_;
  std::string restartText_, restartLogLine_;
  // The next restart to answer: the library file to name in the log, or
  // requestMissing when refused (the reason said), or "" when none is waiting.
  std::string NextRestart();
  // Plans the restart of library file `path`; false with the reason.
  bool PlanLibraryRestart(const std::string& path, const DncRestartRequest& request, std::string* reason);
  std::string sendingName_;
  int64_t lastSpoolScanMs_ = 0;
  // Spool entries that are not sent, with the reason the journal gave once.
  std::map<std::string, std::string> refusedSaid_;
  // The last failure to publish the state ("" while publishing works): a
  // failure is said once, not at every progress report.
  std::string publishError_;
  unsigned transferCount_ = 0;
  unsigned receptionCount_ = 0;
  bool lineFailed_ = false;  // the last send lost the line
  // Failed sends of each spooled file since it last went out: a file that
  // keeps failing stays queued, but the journal and the published state say so.
  std::map<std::string, int> sendFailures_;
  std::string queueProblem_;      // shown as the reason of the waiting state
  std::string queueProblemPath_;  // the file it is about
  std::time_t noticeAt_ = 0;  // when status_.notice was set
  ProgramHistory* history_ = nullptr;
  LibraryPush* push_ = nullptr;
};

}  // namespace quelvo
