// SPDX-License-Identifier: GPL-3.0-or-later
#include "DncRig.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "NcsimProcess.h"
#include "PunchTape.h"
#include "core/settings/CommSettingFile.h"
#include "core/transfer/CommLog.h"
#include "core/transfer/DocumentLines.h"
#include "core/transfer/link/SerialLink.h"
#include "core/transfer/receive/ReceiveEngine.h"
#include "support/FakeSerialPort.h"
#include "support/FakeTransferHost.h"
#include "support/SendWireText.h"
#include "support/VirtualClock.h"

namespace quelvo::test {
namespace {

// Starts the built service with `args`, its stdout and stderr appended to `output`.
pid_t StartDnc(const std::vector<std::string>& args, const std::string& output) {
  // QUELVO_DNC_PROGRAM runs another build of the service (a sanitizer build).
  const char* program = std::getenv("QUELVO_DNC_PROGRAM");
  if (program == nullptr || *program == '\0') program = QUELVO_DNC_PATH;
  std::vector<char*> argv{const_cast<char*>(program)};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    const int fd = open(output.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    dup2(fd, 2);
    dup2(fd, 1);
    execv(program, argv.data());
    _exit(127);
  }
  return pid;
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string PercentSpan(const std::string& text) {
  const size_t first = text.find('%');
  if (first == std::string::npos) return "";
  const size_t second = text.find('%', first + 1);
  return second == std::string::npos ? "" : text.substr(first, second - first + 1);
}

}  // namespace

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return true;
}

DncRig::DncRig() = default;

DncRig::~DncRig() {
  if (service_ > 0) StopService(SIGKILL);
}

void DncRig::AddMachine(const RigMachine& m) {
  const std::string folder = Folder(m.name);
  for (const char* sub : {"", "/library", "/inbox", "/spool"})
    std::filesystem::create_directories(folder + sub);
  if (!m.inbox.empty()) std::filesystem::create_directories(root_.File(m.inbox));
  for (const auto& [name, text] : m.library) WriteText(folder + "/library/" + name, text);
  for (const auto& [name, text] : m.spool) WriteText(folder + "/spool/" + name, text);
  for (size_t i = 0; i < m.punches.size(); ++i)
    WriteText(folder + "/punch" + std::to_string(i) + ".nc", m.punches[i]);
  if (!m.requestMissing.empty()) WriteText(folder + "/missing.nc", m.requestMissing);
  CommSetting s;
  s.Code_R = 0;  // ISO or EIA, recognised
  s.Word = 2;    // as received
  s.SE_Char = 3;
  s.Signal_R = 0;
  s.Speed_R = s.Speed_S = m.speedIndex;
  s.Code_S = m.code == "eia" ? 1 : 0;
  s.StartChar = 1;  // "%" before the data, "%" after it
  s.EndChar = 0;
  // An OSP control is sent a "$" file-name header instead of the "%".
  s.Signal_S = 0;
  if (m.adjust) m.adjust(s);
  std::string error;
  SaveCommSetting(folder, 1, s, &error);
  settings_[m.name] = s;
  machines_.push_back(m);
}

std::vector<std::string> DncRig::ControlArgs(const RigMachine& m) const {
  const std::string folder = Folder(m.name);
  std::vector<std::string> args{"--link",
                                folder + "/port",
                                "--cycle",
                                "--code",
                                m.code,
                                "--baud",
                                std::to_string(m.baud),
                                "--punch-after",
                                std::to_string(m.punchAfter),
                                "--invite-ms",
                                "300",
                                "--process-ms",
                                "50",
                                "--out",
                                folder + "/got"};
  for (size_t i = 0; i < m.punches.size(); ++i) {
    args.insert(args.end(), {"--punch", folder + "/punch" + std::to_string(i) + ".nc"});
  }
  if (m.dropAfter >= 0) args.insert(args.end(), {"--drop-after", std::to_string(m.dropAfter)});
  if (!m.punchCode.empty()) args.insert(args.end(), {"--punch-code", m.punchCode});
  if (m.reportLine) args.push_back("--report-line");
  return args;
}

bool DncRig::StartControls(bool together) {
  if (together) {
    std::string text;
    for (const RigMachine& m : machines_) {
      for (const std::string& word : ControlArgs(m)) text += word + " ";
      text += "--report " + Folder(m.name) + "/control.log\n";
    }
    WriteText(root_.File("controls.lines"), text);
    bank_ = std::make_unique<ncsim::test::NcsimProcess>(std::vector<std::string>{"--lines", root_.File("controls.lines")});
    return !bank_->WaitFor("ready lines=", 120000).empty();
  }
  for (const RigMachine& m : machines_) {
    if (!StartControl(m.name, false)) return false;
  }
  for (auto& [name, control] : controls_) {
    if (control->WaitFor("ready", 60000).empty()) return false;
  }
  return true;
}

bool DncRig::StartControl(const std::string& machine, bool wait) {
  const auto found = std::find_if(machines_.begin(), machines_.end(),
                                  [&](const RigMachine& m) { return m.name == machine; });
  if (found == machines_.end()) return false;
  controls_[machine] = std::make_unique<ncsim::test::NcsimProcess>(ControlArgs(*found));
  return !wait || !controls_[machine]->WaitFor("ready", 60000).empty();
}

void DncRig::StartService() {
  if (!std::filesystem::exists(ConfigPath())) {
    std::string text = "[service]\nstate_dir = state\nlog_dir = log\nretry_seconds = 1\n" + serviceKeys;
    for (const RigMachine& m : machines_) {
      text += "\n[machine " + m.name + "]\nport = " + Folder(m.name) + "/port\nsetting = " + m.name +
              "/SetData1.ini\nlibrary = " + m.name + "/library\ninbox = " +
              (m.inbox.empty() ? m.name + "/inbox" : m.inbox) + "\nspool = " + m.name + "/spool\nosp = " + (m.osp ? "yes" : "no") + "\n";
      if (!m.requestMissing.empty()) text += "request_missing = " + m.name + "/missing.nc\n";
    }
    WriteText(ConfigPath(), text + extraConfig_);
  }
  service_ = StartDnc({"--config", ConfigPath()}, root_.File("journal.log"));
}

int DncRig::RunDnc(const std::vector<std::string>& args, std::string* output, int timeoutMs) {
  TempFolder folder;
  const std::string out = folder.File("output");
  const pid_t pid = StartDnc(args, out);
  int status = 0;
  pid_t done = 0;
  WaitUntil([&] { return (done = waitpid(pid, &status, WNOHANG)) != 0; }, timeoutMs);
  if (done == 0) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
  }
  *output = FileText(out);
  return done != 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int DncRig::StopService(int signal) {
  if (service_ <= 0) return -1;
  kill(service_, signal);
  int status = 0;
  pid_t done = 0;
  WaitUntil([&] { return (done = waitpid(service_, &status, WNOHANG)) != 0; }, 60000);
  if (done == 0) {
    kill(service_, SIGKILL);
    waitpid(service_, &status, 0);
  }
  service_ = -1;
  return done != 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string DncRig::Journal() const { return FileText(root_.File("journal.log")); }

std::string DncRig::WindowReception(const std::string& program, const std::string& code,
                                    const CommSetting& setting, bool osp) {
  const ncsim::PunchTape tape = ncsim::BuildPunchTape(program, code == "eia"     ? ncsim::TapeCode::Eia
                                                               : code == "ascii" ? ncsim::TapeCode::Ascii
                                                                                 : ncsim::TapeCode::Iso);
  TempFolder folder;
  VirtualClock clock;
  FakeTransferHost host(clock);
  CommLog log;
  ProgramOptions options;
  FakeSerialPort port(clock);
  port.modemReadable = false;
  // The control punches after the port is open (and purged).
  port.QueueIncoming(std::string(tape.bytes.begin(), tape.bytes.end()), clock.nowMs + 500);
  SerialLink link(port, host, log, options);
  ReceiveEngine engine(link, host, log, options);
  CommSetting s = setting;
  s.Port_R = "/dev/fake";
  ReceiveJob job;
  job.TransferFileName = folder.File("received.nc");
  job.unattended = true;
  job.ospSetting = osp;
  job.logFilePath = folder.File("r.log");
  const ReceiveOutcome outcome = engine.RunReceive(s, job);
  return FileText(outcome.TransferFileName);
}

std::string DncRig::WindowSendText(const std::string& program, const CommSetting& setting,
                                   const std::string& code) {
  return PercentSpan(
      SendWireText(DocumentLines(program), setting,
                   code == "eia" ? TapeCode::EIA : code == "ascii" ? TapeCode::ASCII : TapeCode::ISO));
}

}  // namespace quelvo::test
