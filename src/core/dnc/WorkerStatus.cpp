#include "core/dnc/WorkerStatus.h"

#include <cstdio>
#include <cstdlib>

#include "core/common/AtomicFile.h"
#include "core/common/JsonText.h"

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

std::string Pad(const std::string& text, size_t width) {
  return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
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
  return WriteFileAtomically(StatusFilePath(stateDir, status.machine), StatusFileText(status), error,
                             LinkAtTarget::kRefuse);
}

std::string StatusDetail(const WorkerStatus& s) {
  std::string text = ActivityName(s.activity);
  switch (s.activity) {
    case WorkerActivity::kReceiving:
      if (!s.program.empty()) text += " " + s.program;
      text += " " + std::to_string(s.lines) + " lines";
      break;
    case WorkerActivity::kSending:
      text += " " + s.program;
      if (s.percent >= 0) text += " " + std::to_string(s.percent) + " %";
      if (s.held) text += " (held by the control)";
      break;
    case WorkerActivity::kOffline:
    case WorkerActivity::kStopped:
      if (!s.reason.empty()) text += ": " + s.reason;
      break;
    default:
      break;
  }
  if (!s.notice.empty()) text += " [" + s.notice + "]";
  return text;
}

std::string StatusTable(const std::vector<WorkerStatus>& workers) {
  size_t nameWidth = 7;
  for (const WorkerStatus& w : workers) nameWidth = std::max(nameWidth, w.machine.size());
  std::string out = Pad("MACHINE", nameWidth + 2) + Pad("QUEUED", 8) + Pad("SINCE", 21) + "STATE\n";
  for (const WorkerStatus& w : workers) {
    out += Pad(w.machine, nameWidth + 2) + Pad(std::to_string(w.queued), 8) + Pad(TimeText(w.since), 21) +
           StatusDetail(w) + "\n";
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
