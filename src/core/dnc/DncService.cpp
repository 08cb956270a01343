// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/dnc/DncService.h"

#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "core/common/StaleTempFiles.h"
#include "core/dnc/DncNames.h"
#include "core/dnc/LibraryPush.h"
#include "core/dnc/ProgramHistory.h"
#include "core/dnc/MachineWorker.h"

namespace quelvo {

bool RunDncService(const DncConfig& config, const std::atomic<bool>& shutdown, const DncJournal& journal) {
  std::mutex journalMutex;
  const auto say = [&](const std::string& line) {
    const std::lock_guard<std::mutex> lock(journalMutex);
    journal(line);
  };
  for (const std::string* folder : {&config.stateDir, &config.logDir}) {
    std::string error;
    if (!EnsureFolder(*folder, &error)) {
      say(error);
      return false;
    }
  }
  // States are replaced without a look for stale temporary files (that
  // would read the whole folder for every change): one look now does.
  RemoveStaleTempFiles(config.stateDir);
  // The library of revisions, when configured; a library that cannot be
  // opened is said so and the machines are served without it.
  std::unique_ptr<ProgramHistory> history;
  std::unique_ptr<LibraryPush> push;
  if (!config.library.empty()) {
    history = std::make_unique<ProgramHistory>();
    std::string error;
    if (history->Open(config.library, &error)) {
      say("library " + config.library);
      if (!config.libraryRemote.empty()) {
        push = std::make_unique<LibraryPush>(config.library, config.libraryRemote, config.retrySeconds, say);
        push->Request();
      }
    } else {
      say("library not kept: " + error);
      history.reset();
    }
  }
  std::vector<std::unique_ptr<MachineWorker>> workers;
  for (const MachineConfig& machine : config.machines) {
    workers.push_back(std::make_unique<MachineWorker>(machine, config, shutdown, say));
    workers.back()->UseHistory(history.get(), push.get());
  }
  // Before any worker runs: a staging file an older service left where all
  // machines of an inbox staged is surely no reception in progress.
  for (auto& worker : workers) worker->RecoverSharedStaging();
  say("serving " + std::to_string(workers.size()) + " machines");
  std::vector<std::thread> threads;
  for (size_t i = 0; i < workers.size(); ++i) {
    MachineWorker* worker = workers[i].get();
    try {
      threads.emplace_back([worker] { worker->Run(); });
    } catch (const std::system_error& e) {
      // A task limit (TasksMax of the unit, ulimit -u) leaves a machine
      // without its thread: said, and the others are served.
      say(config.machines[i].name + ": not served: its thread cannot start (" + e.what() +
          "); raise the service's task limit");
    }
  }
  for (std::thread& thread : threads) thread.join();
  say("stopped");
  return true;
}

}  // namespace quelvo
