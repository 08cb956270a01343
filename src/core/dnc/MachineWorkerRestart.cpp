// SPDX-License-Identifier: GPL-3.0-or-later
// A control's request for a program from one of its blocks on: the library
// program planned for a restart (RestartPlan), or the configured program for
// a missing one with the reason in the service's log when the restart is
// refused or the program is not there.
#include "core/dnc/MachineWorker.h"
#include "core/dnc/DncNames.h"
#include "core/document/DocumentFile.h"

namespace quelvo {

std::string MachineWorker::NextRestart() {
  while (!pendingRestarts_.empty()) {
    const DncRestartRequest request = pendingRestarts_.front();
    pendingRestarts_.pop_front();
    std::string path, why;
    if (ResolveLibraryFile(machine_.library, request.program, &path, &why) &&
        PlanLibraryRestart(path, request, &why))
      return path;
    Say("restart request refused: " + why);
    if (!machine_.requestMissing.empty()) return machine_.requestMissing;
  }
  return "";
}

bool MachineWorker::PlanLibraryRestart(const std::string& path, const DncRestartRequest& request,
                                       std::string* reason) {
  const DocumentLoad load = ReadDocumentFile(path);
  const std::string point = (request.point.blockNumber ? "N" : "L") + std::to_string(request.point.number);
  if (!load.opened) {
    *reason = request.program + ": " + load.error;
    return false;
  }
  const int32_t line = RestartLineOf(load.text, request.point);
  if (line == 0) {
    *reason = request.program + " " + point + ": no such block";
    return false;
  }
  const RestartPlan plan = PlanRestart(load.text, line, {});
  if (plan.Refused()) {
    std::string why = plan.error;
    for (const RestartNote& note : plan.notes) {
      if (why.empty() && note.refusal) why = std::to_string(note.line) + " 行目: " + note.text;
    }
    *reason = request.program + " " + point + ": " + why;
    return false;
  }
  restartText_ = RestartProgramText(plan, load.text);
  restartLogLine_ = RestartLogLine(plan, load.text);
  return true;
}

}  // namespace quelvo
