// SPDX-License-Identifier: GPL-3.0-or-later
// Times the send engine on a pseudo-terminal to the simulated NC control.
//
// 1. A 10 MB program sent without pacing (the control never pauses), old-type
//    protocol (the writer leaves flow control to the driver and does no line
//    checks), beside `stty raw` + `cat` writing the same bytes to the same
//    kind of pseudo-terminal. One write per byte and an event pass between
//    bytes make the engine slower than cat; it must still move at least 100
//    times the fastest line of the settings (19200 baud, about 1745 chars/s).
// 2. The standard protocol, which looks at the line every Chk Count
//    characters with a 10 ms read: its ceiling is about Chk Count x 100
//    characters a second.
// 3. The control in line-speed mode at 19200 baud, pausing the sender every
//    256 bytes, the sender looking every 250 characters: a 100 KB program
//    must arrive within 2 % of the line time.
//
// 4. The 10 MB unpaced send of 1 again, through ser2net on the loopback
//    interface in front of the same kind of pty: a raw TCP accepter and a
//    telnet accepter with the COM port option (RFC 2217). Left out where
//    ser2net is not installed.
//
// One line per figure.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "NcsimProcess.h"
#include "Ser2netProcess.h"
#include "core/port/AnySerialPort.h"
#include "core/transfer/CommLog.h"
#include "core/transfer/link/SerialLink.h"
#include "core/transfer/send/SendEngine.h"
#include "support/GeneratedProgram.h"
#include "support/HeadlessWindow.h"
#include "support/SendWireText.h"

namespace quelvo {
namespace {

using Clock = std::chrono::steady_clock;
using ncsim::test::NcsimProcess;
using ncsim::test::ReportValue;

constexpr double kFastestLineChars = 19200.0 / 11.0;  // 8 data bits, start and 2 stop bits

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

double ThreadCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

double ChildrenCpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_CHILDREN, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct Folder {
  std::string path;
  Folder() {
    std::string pattern = std::filesystem::temp_directory_path().string() + "/send-bench-XXXXXX";
    if (mkdtemp(pattern.data())) path = pattern;
  }
  ~Folder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

struct SendRun {
  double wallSeconds = 0;      // from the control's first data byte to the engine's end
  double cpuSeconds = 0;       // the sending thread's CPU time
  double longestEventGap = 0;  // the longest time without an event pass
  long received = 0;
  bool completed = false;
  std::vector<std::pair<Clock::time_point, long>> arrivals;  // (time, bytes received) at each pause
  Clock::time_point dataAt;
};

// How the sender reaches the control's pty: directly, or through ser2net.
enum class Route { kLocal, kRawTcp, kRfc2217 };

// Sends `program` through RunSend to a fresh ncsim started with `simArgs`.
SendRun RunSendTo(const Folder& folder, const std::string& program, int control, int chkCount,
                  std::vector<std::string> simArgs, Route route = Route::kLocal) {
  const std::string link = folder.path + "/ncport";
  // Through ser2net the control sees an open and close of its own while
  // ser2net starts up: it must not end after one session.
  simArgs.insert(simArgs.begin(), {"--link", link, "--code", "iso", "--invite-ms", "20"});
  if (route == Route::kLocal) simArgs.push_back("--once");
  NcsimProcess sim(simArgs);
  SendRun run;
  if (sim.WaitFor("ready", 5000).empty()) return run;
  std::unique_ptr<test::Ser2netProcess> server;
  std::string portText = link;
  if (route != Route::kLocal) {
    server = std::make_unique<test::Ser2netProcess>(folder.path, link);
    if (!server->Ready()) return run;
    portText = route == Route::kRawTcp ? server->RawPortText() : server->TelnetPortText();
  }

  HeadlessWindow window;
  window.SetDocument(program);
  CommLog log;
  ProgramOptions options;
  AnySerialPort port;
  SerialLink serial(port, window, log, options);
  SendEngine engine(serial, window, log, options);
  SendJob job;
  job.setting.Port_S = portText;
  job.setting.Speed_S = 4;  // 19200
  job.setting.Control_S = control;
  job.setting.ChkCount = chkCount;
  job.CurrentFileName = folder.path + "/bench.nc";

  Clock::time_point ended;
  std::thread sender([&] {
    const double cpu0 = ThreadCpuSeconds();
    engine.RunSend(job, window.lines);
    ended = Clock::now();
    run.cpuSeconds = ThreadCpuSeconds() - cpu0;
  });
  if (!sim.WaitFor("data", 30000).empty()) run.dataAt = Clock::now();
  for (;;) {
    const std::string line = sim.WaitFor("", 600000);
    if (line.empty()) {
      serial.Stops().Request(StopKind::kEsc);
      break;
    }
    if (line.rfind("dc3 ", 0) == 0) run.arrivals.emplace_back(Clock::now(), ReportValue(line, "received"));
    if (line.rfind("end ", 0) == 0) {
      run.received = ReportValue(line, "received");
      break;
    }
  }
  sender.join();
  run.wallSeconds = Seconds(ended - run.dataAt);
  run.longestEventGap = Seconds(window.longestEventGap);
  run.completed = engine.Outcome().SendCompleted;
  return run;
}

void PrintSend(const char* what, const SendRun& run) {
  const double mb = static_cast<double>(run.received) / 1e6;
  const double rate = static_cast<double>(run.received) / run.wallSeconds;
  std::printf("send %-44s %8.2f MB %8.2f s %11.0f chars/s %6.1fx line  %6.3f s CPU/MB  %s\n", what, mb,
              run.wallSeconds, rate, rate / kFastestLineChars, run.cpuSeconds / mb,
              run.completed ? "completed" : "NOT COMPLETED");
  // What the sender would reach with a processor of its own (a busy machine
  // stretches the wall time, not the CPU time).
  const double cpuRate = static_cast<double>(run.received) / run.cpuSeconds;
  std::printf("send %-44s %11.0f chars per CPU second %6.1fx line\n", what, cpuRate,
              cpuRate / kFastestLineChars);
  std::printf("send %-44s longest time without an event pass %.1f ms\n", what,
              run.longestEventGap * 1000);
}

// `stty raw` + `cat` writing the same bytes to a fresh ncsim line.
void CatTo(const Folder& folder, const std::string& bytes) {
  const std::string link = folder.path + "/ncport";
  const std::string file = folder.path + "/wire.bin";
  std::ofstream(file, std::ios::binary) << bytes;
  NcsimProcess sim({"--link", link, "--code", "iso", "--baud", "0", "--buffer", "16000000",
                    "--invite-ms", "1000", "--once"});
  if (sim.WaitFor("ready", 5000).empty()) return;
  const std::string command =
      "exec 3<>'" + link + "' && stty raw -echo <&3 && cat '" + file + "' >&3";
  const double cpu0 = ChildrenCpuSeconds();
  const Clock::time_point start = Clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  // Read the report meanwhile, so that the control never blocks on it.
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) sim.WaitFor("end", 5);
  const double wall = Seconds(Clock::now() - start);
  const double cpu = ChildrenCpuSeconds() - cpu0;
  std::vector<std::string> ends = sim.LinesStartingWith("end");
  const std::string end = ends.empty() ? sim.WaitFor("end", 30000) : ends.front();
  const long received = ReportValue(end, "received");
  const double mb = static_cast<double>(bytes.size()) / 1e6;
  const double rate = static_cast<double>(bytes.size()) / wall;
  std::printf("send %-44s %8.2f MB %8.2f s %11.0f chars/s %6.1fx line  %6.3f s CPU/MB  %s\n",
              "stty raw + cat, same bytes, same kind of pty", mb, wall, rate, rate / kFastestLineChars,
              cpu / mb, received == static_cast<long>(bytes.size()) ? "all arrived" : "BYTES MISSING");
}

}  // namespace
}  // namespace quelvo

int main() {
  using namespace quelvo;
  Folder folder;
  setenv("QUELVO_HOME", folder.path.c_str(), 1);  // the send log goes there

  if (std::FILE* load = std::fopen("/proc/loadavg", "r")) {
    char text[64] = {};
    if (std::fgets(text, sizeof text, load)) std::printf("machine load average %s", text);
    std::fclose(load);
  }
  const std::string big = test::GeneratedProgram(10u * 1000u * 1000u);
  PrintSend("10 MB, no pacing, driver flow control",
            RunSendTo(folder, big, 2, 0, {"--baud", "0", "--buffer", "16000000"}));
  {
    HeadlessWindow document;
    document.SetDocument(big);
    CommSetting setting;
    CatTo(folder, test::EncodeForLine(test::SendWireText(document.lines, setting, TapeCode::ISO), TapeCode::ISO));
  }

  if (test::Ser2netProcess::Program().empty()) {
    std::printf("send through ser2net: left out, ser2net is not installed\n");
  } else {
    PrintSend("10 MB, no pacing, ser2net raw TCP",
              RunSendTo(folder, big, 2, 0, {"--baud", "0", "--buffer", "16000000"}, Route::kRawTcp));
    PrintSend("10 MB, no pacing, ser2net RFC 2217",
              RunSendTo(folder, big, 2, 0, {"--baud", "0", "--buffer", "16000000"}, Route::kRfc2217));
  }

  const std::string mid = test::GeneratedProgram(1000u * 1000u);
  PrintSend("1 MB, no pacing, line checked every 1000 chars",
            RunSendTo(folder, mid, 0, 29, {"--baud", "0", "--buffer", "16000000"}));
  const std::string small = test::GeneratedProgram(20u * 1000u);
  PrintSend("20 KB, no pacing, line checked every 10 chars",
            RunSendTo(folder, small, 0, 0, {"--baud", "0", "--buffer", "16000000"}));

  // Line speed: the control takes 1920 chars/s (10 bit times each) and pauses
  // the sender after every 256 bytes; the sender looks every 250 chars, so
  // that its 10 ms look at the line does not hold it back.
  const std::string line = test::GeneratedProgram(100u * 1000u);
  const SendRun paced = RunSendTo(folder, line, 0, 19,
                                  {"--baud", "19200", "--buffer", "256", "--process-ms", "0"});
  if (paced.arrivals.size() >= 2) {
    const auto& last = paced.arrivals.back();
    const double took = Seconds(last.first - paced.dataAt);
    const double lineTime = static_cast<double>(last.second) * 10.0 / 19200.0;
    std::printf("line 19200 baud, %ld bytes paced every 256, checked every 250: arrived in %.2f s, line time %.2f s, %+.2f %%\n",
                last.second, took, lineTime, (took - lineTime) / lineTime * 100.0);
  } else {
    std::printf("line 19200 baud: no pauses reported (%s)\n", paced.completed ? "completed" : "failed");
  }
  return 0;
}
