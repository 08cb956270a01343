// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/dnc/WorkerStatus.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "core/common/AtomicFile.h"
#include "core/common/JsonText.h"
#include "core/common/TerminalCells.h"

namespace quelvo {
namespace {

constexpr const char* kActivityNames[] = {"starting", "waiting", "receiving",
                                          "sending",  "offline", "stopped"};

// A value on one line: line breaks from a reason text would split the record.
std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return text;
}

std::string TimeText(std::time_t when) {
  if (when == 0) return "";
  std::tm local{};
  localtime_r(&when, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}


}  // namespace

const char* ActivityName(WorkerActivity activity) { return kActivityNames[static_cast<int>(activity)]; }

std::string StatusFileText(const WorkerStatus& s) {
  return "machine=" + OneLine(s.machine) + "\nstate=" + ActivityName(s.activity) +
         "\nprogram=" + OneLine(s.program) + "\npercent=" + std::to_string(s.percent) +
         "\nlines=" + std::to_string(s.lines) + "\nheld=" + (s.held ? "1" : "0") +
         "\nreason=" + OneLine(s.reason) + "\nqueued=" + std::to_string(s.queued) +
         "\nsince=" + std::to_string(static_cast<long long>(s.since)) + "\npid=" + std::to_string(s.pid) +
         "\nnotice=" + OneLine(s.notice) + "\n";
}

std::optional<WorkerStatus> ParseStatusFile(const std::string& text) {
  WorkerStatus s;
  bool haveState = false;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
    const long number = std::strtol(value.c_str(), nullptr, 10);
    if (key == "machine")
      s.machine = value;
    else if (key == "program")
      s.program = value;
    else if (key == "percent")
      s.percent = static_cast<int>(number);
    else if (key == "lines")
      s.lines = number;
    else if (key == "held")
      s.held = number != 0;
    else if (key == "reason")
      s.reason = value;
    else if (key == "queued")
      s.queued = static_cast<int>(number);
    else if (key == "since")
      s.since = static_cast<std::time_t>(std::strtoll(value.c_str(), nullptr, 10));
    else if (key == "pid")
      s.pid = number;
    else if (key == "notice")
      s.notice = value;
    else if (key == "state") {
      for (int i = 0; i < 6; ++i) {
        if (value == kActivityNames[i]) {
          s.activity = static_cast<WorkerActivity>(i);
          haveState = true;
        }
      }
    }
  }
  if (!haveState || s.machine.empty()) return std::nullopt;
  return s;
}

std::string StatusFilePath(const std::string& stateDir, const std::string& machine) {
  return stateDir + "/" + machine + ".state";
}

bool PublishStatus(const std::string& stateDir, const WorkerStatus& status, std::string* error) {
  // A state is replaced often and written again after a crash: readers need
  // a whole file, not one that outlives a power cut.
  return ReplaceVolatileFile(StatusFilePath(stateDir, status.machine), StatusFileText(status), error);
}

std::string NoticeAckPath(const std::string& stateDir, const std::string& machine) {
  return stateDir + "/" + machine + ".ack";
}

bool AcknowledgeNotice(const std::string& stateDir, const std::string& machine, std::string* error) {
  return WriteFileAtomically(NoticeAckPath(stateDir, machine), "acknowledged\n", error, LinkAtTarget::kRefuse);
}

std::time_t NoticeAcknowledgedAt(const std::string& stateDir, const std::string& machine) {
  struct stat st {};
  if (::lstat(NoticeAckPath(stateDir, machine).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
  return st.st_mtim.tv_sec;
}

std::string StatusDetail(const WorkerStatus& s) {
  std::string text;
  switch (s.activity) {
    case WorkerActivity::kStarting:
      text = "起動中";
      break;
    case WorkerActivity::kWaiting:
      text = "待機中";
      break;
    case WorkerActivity::kReceiving:
      text = "受信中";
      if (!s.program.empty()) text += " " + s.program;
      text += " " + std::to_string(s.lines) + " 行";
      break;
    case WorkerActivity::kSending:
      text = "送信中 " + s.program;
      if (s.percent >= 0) text += " " + std::to_string(s.percent) + " %";
      if (s.held) text += " (NC 機が一時停止中)";
      break;
    case WorkerActivity::kOffline:
      text = "オフライン";
      if (!s.reason.empty()) text += ": " + s.reason;
      break;
    case WorkerActivity::kStopped:
      text = "停止";
      if (!s.reason.empty()) text += ": " + s.reason;
      break;
  }
  // A notice (a program changed at the machine) stays beside any state.
  if (!s.notice.empty()) text += " [" + s.notice + "]";
  return text;
}

std::string StatusTable(const std::vector<WorkerStatus>& workers) {
  const std::string machineHead = "機械", queuedHead = "送信待ち", sinceHead = "開始時刻";
  size_t nameWidth = TerminalCells(machineHead);
  for (const WorkerStatus& w : workers) nameWidth = std::max(nameWidth, TerminalCells(w.machine));
  const size_t queuedWidth = TerminalCells(queuedHead) + 2, sinceWidth = 21;
  std::string out = PadToCells(machineHead, nameWidth + 2) + PadToCells(queuedHead, queuedWidth) +
                    PadToCells(sinceHead, sinceWidth) + "状態\n";
  for (const WorkerStatus& w : workers) {
    out += PadToCells(w.machine, nameWidth + 2) + PadToCells(std::to_string(w.queued), queuedWidth) +
           PadToCells(TimeText(w.since), sinceWidth) + StatusDetail(w) + "\n";
  }
  return out;
}

std::string StatusJson(const std::vector<WorkerStatus>& workers) {
  std::string out = "[";
  for (size_t i = 0; i < workers.size(); ++i) {
    const WorkerStatus& w = workers[i];
    out += i == 0 ? "\n" : ",\n";
    out += "  {\"machine\": " + JsonString(w.machine) +
           ", \"state\": " + JsonString(ActivityName(w.activity)) +
           ", \"program\": " + JsonString(w.program) + ", \"percent\": " + std::to_string(w.percent) +
           ", \"lines\": " + std::to_string(w.lines) + ", \"held\": " + (w.held ? "true" : "false") +
           ", \"reason\": " + JsonString(w.reason) + ", \"queued\": " + std::to_string(w.queued) +
           ", \"since\": " + std::to_string(static_cast<long long>(w.since)) +
           ", \"notice\": " + JsonString(w.notice) +
           ", \"detail\": " + JsonString(StatusDetail(w)) + "}";
  }
  return out + (workers.empty() ? "]\n" : "\n]\n");
}

}  // namespace quelvo
