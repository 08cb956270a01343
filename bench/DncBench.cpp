// SPDX-License-Identifier: GPL-3.0-or-later
// The shop service under load: N simulated controls on pseudo-terminals at an
// emulated 19200 baud (all played by one ncsim process, so the simulation's
// own processes stay out of the figures), all punching a program to the
// service and taking a queued one from it at the same time. Every byte is
// checked against what the window's engines make of the same transfers.
// Figures of the service process alone: its processor time in all and per
// machine, the share of one core it used over the run, its peak memory
// (VmHWM) and its most threads. Goals: below a quarter of a core for 32
// controls; below one core and 512 MB for any number up to 512. Then the
// same transfers made one machine after another by quelvo-cli (a receive and
// a send per machine) and by a service of one machine
// (QUELVO_DNC_BENCH_SEQUENTIAL machines, default 8, the rest scaled to the
// first count; 0 leaves them out).
//
//   dnc_bench                  32 controls (what `make bench` runs)
//   dnc_bench 32 128 512       each count in turn (a 512 run takes about a minute)
//   QUELVO_DNC_BENCH_CONTROLS="128 512" dnc_bench
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "CliProcess.h"
#include "DncRig.h"
#include "NcsimProcess.h"

namespace {

using quelvo::test::Crlf;
using quelvo::test::DncRig;
using quelvo::test::FileText;
using quelvo::test::FolderNames;
using quelvo::test::RigMachine;
using quelvo::test::WaitUntil;

constexpr int kDefaultMachines = 32;
constexpr int kProgramLines = 100;
constexpr int kWaitMs = 600000;

std::string Program(int number) {
  std::string text = "O" + std::to_string(number) + "\n";
  for (int line = 0; line < kProgramLines; ++line) {
    text += "N" + std::to_string(line * 10) + "G01X" + std::to_string(line) + ".5Y-2.F100\n";
  }
  return text + "M30\n";
}

// The service's own processor time so far, in seconds.
double ProcessCpuSeconds(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(in)), {});
  const size_t close = text.rfind(')');
  if (close == std::string::npos) return -1;
  std::vector<std::string> fields;
  std::string field;
  for (size_t i = close + 2; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == ' ') {
      fields.push_back(field);
      field.clear();
    } else {
      field += text[i];
    }
  }
  // utime and stime are fields 14 and 15 of the line, 12 and 13 after the name.
  const double ticks = std::stod(fields.at(11)) + std::stod(fields.at(12));
  return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// A figure of /proc/PID/status ("VmHWM", "Threads"): its number, -1 when absent.
long StatusValue(pid_t pid, const std::string& key) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(in, line);) {
    if (line.compare(0, key.size() + 1, key + ":") == 0) return std::atol(line.c_str() + key.size() + 1);
  }
  return -1;
}

struct Run {
  double cpuSeconds = 0;
  double wallSeconds = 0;
  int exact = 0;         // machines whose every file matched
  long peakKb = 0;       // the service's VmHWM
  long mostThreads = 0;  // the service's thread count, sampled while it served
  double idleCores = 0;  // the share of a core the service takes afterwards, every line open and idle
};

RigMachine Machine(int i) {
  RigMachine m;
  m.name = "mc" + std::to_string(i);
  m.speedIndex = 4;
  m.baud = 19200;
  m.punches = {Program(1000 + i)};
  m.spool["O" + std::to_string(2000 + i) + ".nc"] = Crlf(Program(2000 + i));
  m.punchAfter = 1.0;
  return m;
}

bool ExactFiles(DncRig& rig, int i, const std::string& received, const std::string& sent) {
  const std::string name = "mc" + std::to_string(i);
  return FileText(received) == DncRig::WindowReception(Program(1000 + i), "iso", rig.Setting(name), false) &&
         FileText(sent) == DncRig::WindowSendText(Crlf(Program(2000 + i)), rig.Setting(name), "iso");
}

// Machine i's two transfers made by quelvo-cli with the machine's setting: a
// receive of what a control punches, then a send of the queued program to a
// control that takes it (two simulated controls, one transfer each).
Run ServeByCli(int i) {
  DncRig rig;  // the machine's folder and setting; its controls are started here
  rig.AddMachine(Machine(i));
  const std::string folder = rig.Folder("mc" + std::to_string(i));
  const std::vector<std::string> line{"--code", "iso", "--baud", "19200", "--once"};
  std::vector<std::string> punch{"--link", folder + "/punching", "--punch-after", "1", "--punch", folder + "/punch0.nc"};
  std::vector<std::string> take{"--link", folder + "/taking", "--process-ms", "50", "--out", folder + "/taken.nc"};
  punch.insert(punch.end(), line.begin(), line.end());
  take.insert(take.end(), line.begin(), line.end());
  quelvo::ncsim::test::NcsimProcess puncher(punch), taker(take);
  Run run;
  if (puncher.WaitFor("ready", 60000).empty() || taker.WaitFor("ready", 60000).empty()) return run;
  const std::vector<std::pair<std::string, std::string>> env{{"QUELVO_HOME", folder}};
  const auto start = std::chrono::steady_clock::now();
  bool done = true;
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"receive", folder + "/in.nc", "--port", folder + "/punching"},
        std::vector<std::string>{"send", folder + "/spool/O" + std::to_string(2000 + i) + ".nc", "--port",
                                 folder + "/taking"}}) {
    std::vector<std::string> all = args;
    all.insert(all.end(), {"--setting", "1", "--quiet", "--yes"});
    quelvo::cli::test::ChildProcess cli(QUELVO_CLI_PATH, all, env, folder + "/" + args[0]);
    rusage usage{};
    done = cli.WaitExit(kWaitMs, &usage) == 0 && done;
    run.cpuSeconds += static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                      static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  }
  // The control writes what it took when the line closes.
  taker.WaitFor("close", 10000);
  run.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (done && ExactFiles(rig, i, folder + "/in.nc", folder + "/taken.nc")) run.exact = 1;
  return run;
}

// Serves machines [first, first + count) with one service; all at once.
// together: one ncsim process plays every control.
Run Serve(int first, int count, bool together) {
  DncRig rig;
  for (int i = first; i < first + count; ++i) rig.AddMachine(Machine(i));
  Run run;
  if (!rig.StartControls(together)) return run;
  const auto start = std::chrono::steady_clock::now();
  rig.StartService();
  const pid_t service = rig.ServicePid();
  for (int i = first; i < first + count; ++i) {
    const std::string folder = rig.Folder("mc" + std::to_string(i));
    WaitUntil(
        [&] {
          run.mostThreads = std::max(run.mostThreads, StatusValue(service, "Threads"));
          return FolderNames(folder + "/spool") == std::vector<std::string>{"sent"};
        },
        kWaitMs);
  }
  run.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.cpuSeconds = ProcessCpuSeconds(service);
  run.peakKb = StatusValue(service, "VmHWM");
  constexpr int kIdleMs = 5000;
  std::this_thread::sleep_for(std::chrono::milliseconds(kIdleMs));
  run.idleCores = (ProcessCpuSeconds(service) - run.cpuSeconds) * 1000 / kIdleMs;
  rig.StopService(SIGTERM);
  for (int i = first; i < first + count; ++i) {
    const std::string inbox = rig.Folder("mc" + std::to_string(i)) + "/inbox/O" + std::to_string(1000 + i) + ".nc";
    if (ExactFiles(rig, i, inbox, rig.Folder("mc" + std::to_string(i)) + "/got.1")) ++run.exact;
  }
  return run;
}

Run ServeOne(int i) { return Serve(i, 1, false); }

// The counts to measure: the arguments, else QUELVO_DNC_BENCH_CONTROLS, else 32.
std::vector<int> Counts(int argc, char** argv) {
  std::vector<int> counts;
  std::string words;
  for (int i = 1; i < argc; ++i) words += std::string(argv[i]) + " ";
  const char* env = std::getenv("QUELVO_DNC_BENCH_CONTROLS");
  if (words.empty() && env != nullptr) words = env;
  for (char& c : words) {
    if (c == ',') c = ' ';
  }
  std::istringstream in(words);
  for (int n = 0; in >> n;) {
    if (n > 0) counts.push_back(n);
  }
  if (counts.empty()) counts.push_back(kDefaultMachines);
  return counts;
}

}  // namespace

// A number from a /proc file; -1 when it cannot be read.
long ProcNumber(const char* path) {
  std::ifstream in(path);
  long n = -1;
  in >> n;
  return n;
}

int main(int argc, char** argv) {
  bool ok = true;
  const std::vector<int> counts = Counts(argc, argv);
  for (const int machines : counts) {
    // Each control is a pseudo-terminal pair (a fresh one after every close).
    const long ptyFree = ProcNumber("/proc/sys/kernel/pty/max") - ProcNumber("/proc/sys/kernel/pty/nr");
    if (ptyFree >= 0 && ptyFree < 2L * machines)
      std::printf("dnc %d: only %ld pseudo-terminals free (/proc/sys/kernel/pty/max)\n", machines, ptyFree);
    const Run together = Serve(0, machines, true);
    const double cores = together.cpuSeconds / together.wallSeconds;
    std::printf(
        "dnc %d machines at once: wall=%.1f s service_cpu=%.2f s per_machine=%.3f s cores=%.3f vm_hwm=%.1f MB "
        "threads=%ld exact=%d/%d idle_cores=%.3f\n",
        machines, together.wallSeconds, together.cpuSeconds, together.cpuSeconds / machines, cores,
        together.peakKb / 1024.0, together.mostThreads, together.exact, machines, together.idleCores);
    const bool met = together.exact == machines && cores < (machines <= 32 ? 0.25 : 1.0) &&
                     together.peakKb < 512 * 1024;
    std::printf("dnc %d goal (every byte exact, below %s of a core, below 512 MB): %s\n", machines,
                machines <= 32 ? "a quarter" : "one", met ? "met" : "NOT met");
    std::fflush(stdout);  // a long run shows each count as it is done
    ok = ok && met;
  }

  const int scale = counts.front();
  int sequential = 8;
  if (const char* n = std::getenv("QUELVO_DNC_BENCH_SEQUENTIAL"))
    sequential = std::max(0, std::min(scale, std::atoi(n)));
  if (sequential == 0) return ok ? 0 : 1;
  const auto oneAfterAnother = [&](const char* what, Run (*serve)(int)) {
    Run sum;
    for (int i = 0; i < sequential; ++i) {
      const Run r = serve(i);
      sum.cpuSeconds += r.cpuSeconds;
      sum.wallSeconds += r.wallSeconds;
      sum.exact += r.exact;
    }
    const double perMachine = sum.cpuSeconds / sequential;
    std::printf("dnc one machine after another by %s (%d of %d, scaled): wall=%.1f s cpu=%.2f s per_machine=%.3f s "
                "exact=%d/%d\n",
                what, sequential, scale, sum.wallSeconds * scale / sequential, perMachine * scale, perMachine,
                sum.exact, sequential);
    return sum;
  };
  const Run byCli = oneAfterAnother("quelvo-cli", ServeByCli);
  const Run byService = oneAfterAnother("a service of one machine", ServeOne);
  ok = ok && byCli.exact == sequential && byService.exact == sequential;
  std::printf("dnc goals: %s\n", ok ? "met" : "NOT met");
  return ok ? 0 : 1;
}
