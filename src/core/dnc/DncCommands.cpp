// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/dnc/DncCommands.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "core/common/AtomicFile.h"
#include "core/dnc/DncConfig.h"
#include "core/dnc/DncSpool.h"
#include "core/dnc/WorkerStatus.h"

namespace quelvo {
namespace {

struct CommandArgs {
  std::string config = kDefaultDncConfigPath;
  bool json = false;
  std::vector<std::string> words;
};

bool ParseArgs(const std::vector<std::string>& args, bool allowJson, CommandArgs* parsed, std::ostream& err) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--config" && i + 1 < args.size()) {
      parsed->config = args[++i];
    } else if (allowJson && args[i] == "--json") {
      parsed->json = true;
    } else if (args[i].rfind("--", 0) == 0) {
      err << "不明なオプション " << args[i] << "\n";
      return false;
    } else {
      parsed->words.push_back(args[i]);
    }
  }
  return true;
}

bool ProcessAlive(long pid) { return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM); }

}  // namespace

std::vector<WorkerStatus> ReadServiceStatus(const DncConfig& config) {
  std::vector<WorkerStatus> workers;
  for (const MachineConfig& machine : config.machines) {
    std::string text, error;
    std::optional<WorkerStatus> status;
    if (ReadWholeFile(StatusFilePath(config.stateDir, machine.name), &text, &error))
      status = ParseStatusFile(text);
    if (!status || status->machine != machine.name) {
      status = WorkerStatus{};
      status->machine = machine.name;
      status->activity = WorkerActivity::kStopped;
      status->reason = "状態が公開されていません";
    } else if (status->activity != WorkerActivity::kStopped && !ProcessAlive(status->pid)) {
      status->activity = WorkerActivity::kStopped;
      status->reason = "サービスが動いていません";
    }
    // The queue as the spool holds it now: the published count is the
    // worker's last look (every few seconds), so a file queued a moment ago
    // would be missing from it.
    if (::access(machine.spool.c_str(), R_OK | X_OK) == 0)
      status->queued = static_cast<int>(SpooledFiles(machine.spool).size());
    workers.push_back(*status);
  }
  return workers;
}

int RunStatusCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CommandArgs parsed;
  if (!ParseArgs(args, true, &parsed, err) || !parsed.words.empty()) {
    err << "使い方: status [--config FILE] [--json]\n";
    return 2;
  }
  DncConfig config;
  std::string error;
  if (!LoadDncConfig(parsed.config, &config, &error)) {
    err << error << "\n";
    return 2;
  }
  const std::vector<WorkerStatus> workers = ReadServiceStatus(config);
  out << (parsed.json ? StatusJson(workers) : StatusTable(workers));
  return 0;
}

int RunQueueCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CommandArgs parsed;
  if (!ParseArgs(args, false, &parsed, err) || parsed.words.size() != 2) {
    err << "使い方: queue [--config FILE] MACHINE FILE\n";
    return 2;
  }
  DncConfig config;
  std::string error;
  if (!LoadDncConfig(parsed.config, &config, &error)) {
    err << error << "\n";
    return 2;
  }
  const MachineConfig* machine = config.Find(parsed.words[0]);
  if (machine == nullptr) {
    err << "機械 " << parsed.words[0] << " は " << parsed.config << " にありません\n";
    return 1;
  }
  std::string placed;
  if (!EnqueueFile(machine->spool, parsed.words[1], std::time(nullptr), &placed, &error)) {
    err << error << "\n";
    return 1;
  }
  out << "送信待ちに入れました: " << placed << "\n";
  return 0;
}

}  // namespace quelvo
