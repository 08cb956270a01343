// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/dnc/MachineWorker.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <vector>

#include "core/common/AtomicFile.h"
#include "core/dnc/DncNames.h"
#include "core/dnc/DncPortFactory.h"
#include "core/dnc/DncRequest.h"
#include "core/dnc/DncSpool.h"
#include "core/document/DocumentFile.h"
#include "core/settings/CommSettingFile.h"
#include "core/transfer/CommLog.h"
#include "core/transfer/DocumentLines.h"
#include "core/transfer/TapeCode.h"
#include "core/transfer/link/PortNames.h"
#include "core/transfer/link/SerialLink.h"
#include "core/transfer/receive/ReceiveCommand.h"
#include "core/transfer/send/SendCommand.h"
#include "core/transfer/session/TransferSession.h"

namespace quelvo {
namespace {

// A listening read waits at most this long, so a shutdown is noticed soon.
constexpr int kListenReadMs = 250;
constexpr int64_t kSpoolScanMs = 2000;

std::string BaseName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The first line of a received file that holds a program number ("" when none does).
std::string FirstProgramLine(const std::string& path) {
  std::string bytes, error;
  if (!ReadWholeFile(path, &bytes, &error)) return "";
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t end = bytes.find('\n', pos);
    if (end == std::string::npos) end = bytes.size();
    const std::string line = bytes.substr(pos, end - pos);
    if (!ProgramNumberFileName(line).empty()) return line;
    pos = end + 1;
  }
  return "";
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

// A staging file's name: it has a space, which no name from a control has.
bool IsStageName(const std::string& name) { return name.find(' ') != std::string::npos; }

}  // namespace

MachineWorker::MachineWorker(const MachineConfig& machine, const DncConfig& service,
                             const std::atomic<bool>& shutdown, Journal journal)
    : machine_(machine),
      service_(service),
      shutdown_(shutdown),
      journal_(std::move(journal)),
      staging_(machine.inbox + "/" + kStagingFolder + "/" + machine.name),
      line_(MakeDncSerialPort()),
      host_(
          shutdown, [this](const WorkerHost::Progress& p) { OnProgress(p); },
          [this](const std::string& text) { Say(text); }) {
  status_.machine = machine_.name;
  status_.pid = static_cast<long>(::getpid());
  // The service keeps a stopped reception: what came stays as an incomplete file.
  options_.saveStoppedReception = true;
}

void MachineWorker::Run() {
  SetActivity(WorkerActivity::kStarting);
  while (!shutdown_.load()) {
    if (!PrepareFolders() || !OpenLine()) {
      Sleep(service_.retrySeconds);
      continue;
    }
    while (!shutdown_.load() && ListenOnce()) {
    }
    const std::string reason = machine_.port + ": " + PortErrorText(line_.LastError());
    line_.CloseDevice();
    if (shutdown_.load()) break;
    if (status_.activity != WorkerActivity::kOffline) SetActivity(WorkerActivity::kOffline, reason);
    Say("line lost; trying again in " + std::to_string(service_.retrySeconds) + " s");
    Sleep(service_.retrySeconds);
  }
  line_.CloseDevice();
  SetActivity(WorkerActivity::kStopped, "サービスを停止しました");
}

bool MachineWorker::PrepareFolders() {
  std::string error;
  const std::string stagingParent = machine_.inbox + "/" + kStagingFolder;
  for (const std::string* folder : {&machine_.inbox, &stagingParent, static_cast<const std::string*>(&staging_),
                                    &machine_.spool}) {
    if (!EnsureFolder(*folder, &error)) {
      SetActivity(WorkerActivity::kOffline, error);
      return false;
    }
  }
  std::string bytes;
  if (!ReadWholeFile(machine_.settingFile, &bytes, &error)) {
    SetActivity(WorkerActivity::kOffline, machine_.settingFile + ": " + error);
    return false;
  }
  setting_ = LoadCommSettingFile(machine_.settingFile);
  setting_.Port_R = machine_.port;
  setting_.Port_S = machine_.port;
  RecoverInterrupted();
  return true;
}

void MachineWorker::RecoverInterrupted() { RecoverFolder(staging_, false); }

void MachineWorker::RecoverSharedStaging() { RecoverFolder(machine_.inbox + "/" + kStagingFolder, true); }

void MachineWorker::RecoverFolder(const std::string& folder, bool filesOnly) {
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return;
  std::vector<std::string> names;
  while (const dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name;
    struct stat st {};
    if (name == "." || name == "..") continue;
    if (filesOnly && (::lstat((folder + "/" + name).c_str(), &st) != 0 || !S_ISREG(st.st_mode))) continue;
    names.push_back(name);
  }
  ::closedir(dir);
  for (const std::string& name : names) {
    const std::string path = folder + "/" + name;
    if (name[0] == '.') {
      ::unlink(path.c_str());  // a temporary file from before the data started
    } else {
      KeepIncomplete(path, FirstProgramLine(path));
    }
  }
}

bool MachineWorker::OpenLine() {
  // "COM3" means what it means to the window; any other text goes to the port as it is.
  std::string device = ResolvePortDevice(machine_.port, nullptr);
  if (device.empty()) device = machine_.port;
  if (!line_.OpenDevice(device)) {
    SetActivity(WorkerActivity::kOffline, machine_.port + ": " + PortErrorText(line_.LastError()));
    return false;
  }
  Say("line " + machine_.port + " open");
  return true;
}

bool MachineWorker::ListenOnce() {
  lineFailed_ = false;
  // The line as for a send before the control's start: the driver does not
  // act on DC1/DC3 itself, so an invitation reaches the worker.
  CommLog scratch;
  SerialLink listen(line_, host_, scratch, options_);
  if (!listen.OpenPort(setting_, TransferDirection::Send) ||
      !line_.SetTimeouts(PortTimeouts{kListenReadMs, 0})) {
    SetActivity(WorkerActivity::kOffline, machine_.port + ": " + PortErrorText(line_.LastError()));
    return false;
  }
  // A failing file taken out of the spool is no trouble any more.
  if (!queueProblem_.empty() && !Exists(queueProblemPath_)) {
    sendFailures_.erase(queueProblemPath_);
    queueProblem_.clear();
  }
  SetActivity(WorkerActivity::kWaiting, queueProblem_);
  while (!shutdown_.load()) {
    uint8_t byte = 0;
    const ReadResult read = line_.ReadByte(&byte);
    if (read == ReadResult::kError) {
      return false;
    }
    if (read == ReadResult::kTimeout) {
      if (host_.MonotonicMs() - lastSpoolScanMs_ >= kSpoolScanMs) RefreshQueued();
      continue;
    }
    const uint8_t low = byte & 0x7F;
    if (low == kDC1) {
      if (SendNext(byte)) return !lineFailed_;
      continue;
    }
    if (byte == 0 || low == kDC3 || low == kDC4 || low == kCAN) continue;
    return Receive(byte);
  }
  return true;
}

std::string MachineWorker::StagePath() {
  std::string path;
  do {
    path = staging_ + "/" + kStagePrefix + std::to_string(++receptionCount_) + ".part";
  } while (Exists(path));
  return path;
}

bool MachineWorker::Receive(uint8_t first) {
  const std::string target = StagePath();
  CommLog log;
  StartStandardReceiveLog(log, target);
  SerialLink link(line_, host_, log, options_);
  link.Stops().SetWatch(host_.StopWatch());
  TransferSession session(link, host_, log, options_);
  ReceiveJob job;
  job.TransferFileName = target;
  job.unattended = true;
  job.DirPath = staging_;
  job.ospSetting = machine_.osp;
  job.logFilePath = LogPath("R");
  line_.PushBack(first);
  host_.BeginTransfer(kStartWaitMs);
  status_.program.clear();
  const TransferResult outcome = session.RunReceive(setting_, job);
  if (outcome.completed && !shutdown_.load()) {
    StoreReception(outcome.transferFileName);
  } else if (Exists(outcome.transferFileName)) {
    KeepIncomplete(outcome.transferFileName, host_.Current().programLine);
  }
  RefreshQueued();
  return !outcome.portFailed;
}

void MachineWorker::StoreReception(const std::string& file) {
  std::string bytes, error;
  if (!ReadWholeFile(file, &bytes, &error)) {
    Say("received program unreadable: " + error);
    KeepIncomplete(file, host_.Current().programLine);
    return;
  }
  DncRestartRequest restart;
  if (RestartRequested(bytes, &restart)) {
    ::unlink(file.c_str());
    pendingRestarts_.push_back(restart);
    Say("restart request for " + restart.program + " from " + (restart.point.blockNumber ? "N" : "L") +
        std::to_string(restart.point.number) + "; sent at the next DC1");
    return;
  }
  const std::string requested = RequestedProgram(bytes, machine_.requestRule);
  if (!requested.empty()) {
    ::unlink(file.c_str());
    pendingRequests_.push_back(requested);
    Say("request for " + requested + "; sent at the next DC1");
    return;
  }
  std::string name = BaseName(file);
  if (IsStageName(name) || !IsPlainName(name)) name = ProgramNumberFileName(host_.Current().programLine);
  if (name.empty()) name = "received.nc";
  std::string placed;
  if (!MoveWithoutReplacing(file, machine_.inbox, name, std::time(nullptr), &placed, &error)) {
    Say("cannot store " + name + ": " + error);
    return;
  }
  Say("received " + BaseName(placed) + " (" + std::to_string(bytes.size()) + " bytes)");
  RecordReception(bytes, BaseName(placed));
}

void MachineWorker::KeepIncomplete(const std::string& file, const std::string& programLine) {
  std::string name = BaseName(file);
  if (IsStageName(name) || !IsPlainName(name)) {
    name = ProgramNumberFileName(programLine);
    if (name.empty()) name = "received";
  }
  std::string placed, error;
  if (MoveWithoutReplacing(file, machine_.inbox, name + ".incomplete", std::time(nullptr), &placed, &error)) {
    Say("incomplete reception kept as " + BaseName(placed));
  } else {
    Say("cannot keep the incomplete reception " + file + ": " + error);
  }
}

std::string MachineWorker::NextToSend(bool* fromSpool) {
  *fromSpool = false;
  const std::string restart = NextRestart();
  if (!restart.empty()) return restart;
  while (!pendingRequests_.empty()) {
    const std::string requested = pendingRequests_.front();
    pendingRequests_.pop_front();
    std::string path, why;
    if (ResolveLibraryFile(machine_.library, requested, &path, &why)) return path;
    Say("request refused: " + why);
    if (!machine_.requestMissing.empty()) return machine_.requestMissing;
  }
  const std::vector<std::string> queued =
      SpooledFiles(machine_.spool, std::time(nullptr) - kSpoolSettleSeconds);
  if (queued.empty()) return "";
  *fromSpool = true;
  return machine_.spool + "/" + queued.front();
}

bool MachineWorker::SendNext(uint8_t invite) {
  bool fromSpool = false;
  const std::string path = NextToSend(&fromSpool);
  if (path.empty()) return false;
  const DocumentLoad load = ReadDocumentFile(path);
  if (!load.opened) {
    Say("cannot read " + path + ": " + load.error);
    return false;
  }
  std::string sentBytes, readError;  // for the library, before a spooled file moves on
  if (history_) ReadWholeFile(path, &sentBytes, &readError);
  std::string text = load.text;
  CommLog log;
  StartSendLog(log, true, path);
  if (!restartText_.empty()) {
    // A restart: the preamble and the rest instead of the whole program.
    text.swap(restartText_);
    restartText_.clear();
    log.AppendLog(restartLogLine_);
  }
  SerialLink link(line_, host_, log, options_);
  link.Stops().SetWatch(host_.StopWatch());
  TransferSession session(link, host_, log, options_);
  SendJob job;
  job.setting = setting_;
  job.SetNo = machine_.osp ? 6 : 1;
  job.CurrentFileName = path;
  job.logFilePath = LogPath("S");
  sendingName_ = BaseName(path);
  line_.PushBack(invite);
  host_.BeginTransfer(kStartWaitMs);
  const TransferResult result = session.RunSend(job, DocumentLines(text));
  sendingName_.clear();
  if (!result.completed) {
    const std::string failed = "send of " + BaseName(path) + " did not complete (error " +
                               std::to_string(result.errorNumber) + ")";
    if (!fromSpool) {
      Say(failed);
    } else {
      const int failures = ++sendFailures_[path];
      Say(failed + "; it stays queued (" + std::to_string(failures) + (failures == 1 ? " failure)" : " failures)"));
      if (failures >= kSendFailuresShown) {
        queueProblemPath_ = path;
        queueProblem_ = BaseName(path) + " failed to send " + std::to_string(failures) + " times (error " +
                        std::to_string(result.errorNumber) + "); it stays queued";
      }
    }
  } else if (fromSpool) {
    sendFailures_.erase(path);
    if (path == queueProblemPath_) queueProblem_.clear();
    std::string placed, error;
    if (MarkSent(machine_.spool, BaseName(path), std::time(nullptr), &placed, &error)) {
      Say("sent " + BaseName(path) + " from the spool");
    } else {
      Say("sent " + BaseName(path) + " but cannot move it to sent/: " + error);
    }
  } else {
    Say("sent " + BaseName(path));
  }
  if (result.completed) RecordSend(BaseName(path), sentBytes, fromSpool);
  lineFailed_ = result.portFailed;
  RefreshQueued();
  return true;
}

std::string MachineWorker::LogPath(const char* direction) {
  ++transferCount_;
  return service_.logDir + "/" + machine_.name + "-" + FileTimeStamp(std::time(nullptr)) + "-" +
         std::to_string(transferCount_) + "-" + direction + ".log";
}

void MachineWorker::SetActivity(WorkerActivity activity, const std::string& reason) {
  if (status_.activity == activity && status_.reason == reason && status_.since != 0) return;
  status_.activity = activity;
  status_.reason = reason;
  if (activity != WorkerActivity::kSending && activity != WorkerActivity::kReceiving) status_.program.clear();
  status_.percent = -1;
  status_.lines = 0;
  status_.held = false;
  status_.since = std::time(nullptr);
  if (activity == WorkerActivity::kOffline) Say("offline: " + reason);
  Publish();
}

void MachineWorker::OnProgress(const WorkerHost::Progress& progress) {
  if (progress.phase == TransferPhase::kSending) {
    if (status_.activity != WorkerActivity::kSending) SetActivity(WorkerActivity::kSending);
    status_.program = sendingName_;
    status_.percent = progress.percent;
    status_.held = progress.held;
  } else if (progress.phase == TransferPhase::kReceiving) {
    if (status_.activity != WorkerActivity::kReceiving) SetActivity(WorkerActivity::kReceiving);
    status_.program = ProgramNumberFileName(progress.programLine);
    status_.lines = progress.lines;
  } else {
    return;
  }
  Publish();
}

void MachineWorker::RefreshQueued() {
  lastSpoolScanMs_ = host_.MonotonicMs();
  TakeNoticeAcknowledgement();
  SayRefusedSpoolEntries();
  const int queued = static_cast<int>(SpooledFiles(machine_.spool).size());
  if (queued == status_.queued) return;
  status_.queued = queued;
  Publish();
}

void MachineWorker::SayRefusedSpoolEntries() {
  std::map<std::string, std::string> now;
  for (const SpoolRefusal& entry : RefusedSpoolEntries(machine_.spool)) {
    const auto said = refusedSaid_.find(entry.name);
    if (said == refusedSaid_.end() || said->second != entry.why)
      Say("spool: " + entry.name + " is not sent: " + entry.why);
    now[entry.name] = entry.why;
  }
  refusedSaid_ = std::move(now);
}

void MachineWorker::Publish() {
  // A file that keeps failing to send is the reason of the waiting state; in
  // any other state (sending it again, the line lost) it stays in sight as a
  // notice, so the state never hides it between two tries.
  WorkerStatus shown = status_;
  if (!queueProblem_.empty() && shown.reason != queueProblem_) {
    shown.notice = shown.notice.empty() ? queueProblem_ : shown.notice + "; " + queueProblem_;
  }
  std::string error;
  if (PublishStatus(service_.stateDir, shown, &error)) {
    if (!publishError_.empty()) Say("the state is published again");
    publishError_.clear();
  } else if (error != publishError_) {
    Say("cannot publish the state: " + error);
    publishError_ = error;
  }
}

void MachineWorker::Sleep(int seconds) {
  for (int i = 0; i < seconds * 10 && !shutdown_.load(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

}  // namespace quelvo
