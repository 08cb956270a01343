// SPDX-License-Identifier: GPL-3.0-or-later
// The shop service under load: 32 simulated controls on pseudo-terminals at an
// emulated 19200 baud, all punching a program to the service and taking a
// queued one from it at the same time. Every byte is checked against what the
// window's engines make of the same transfers. Figures: the service's
// processor time in all and per machine, and the share of one core it used
// over the run (the goal is below a quarter of a core for the 32), against
// the same transfers made one machine after another by quelvo-cli (a receive
// and a send per machine) and by a service of one machine
// (QUELVO_DNC_BENCH_SEQUENTIAL machines, default 8, the rest scaled).
//
//   dnc_bench
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
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

constexpr int kMachines = 32;
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

struct Run {
  double cpuSeconds = 0;
  double wallSeconds = 0;
  int exact = 0;  // machines whose every file matched
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
Run Serve(int first, int count) {
  DncRig rig;
  for (int i = first; i < first + count; ++i) rig.AddMachine(Machine(i));
  Run run;
  if (!rig.StartControls()) return run;
  const auto start = std::chrono::steady_clock::now();
  rig.StartService();
  for (int i = first; i < first + count; ++i) {
    const std::string folder = rig.Folder("mc" + std::to_string(i));
    WaitUntil([&] { return FolderNames(folder + "/spool") == std::vector<std::string>{"sent"}; }, kWaitMs);
  }
  run.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.cpuSeconds = ProcessCpuSeconds(rig.ServicePid());
  rig.StopService(SIGTERM);
  for (int i = first; i < first + count; ++i) {
    const std::string inbox = rig.Folder("mc" + std::to_string(i)) + "/inbox/O" + std::to_string(1000 + i) + ".nc";
    if (ExactFiles(rig, i, inbox, rig.Folder("mc" + std::to_string(i)) + "/got.1")) ++run.exact;
  }
  return run;
}

}  // namespace

int main() {
  const Run together = Serve(0, kMachines);
  std::printf(
      "dnc 32 machines at once: wall=%.1f s service_cpu=%.2f s per_machine=%.3f s cores=%.3f exact=%d/%d\n",
      together.wallSeconds, together.cpuSeconds, together.cpuSeconds / kMachines,
      together.cpuSeconds / together.wallSeconds, together.exact, kMachines);

  int sequential = 8;
  if (const char* n = std::getenv("QUELVO_DNC_BENCH_SEQUENTIAL"))
    sequential = std::max(1, std::min(kMachines, std::atoi(n)));
  const auto oneAfterAnother = [&](const char* what, Run (*serve)(int)) {
    Run sum;
    for (int i = 0; i < sequential; ++i) {
      const Run r = serve(i);
      sum.cpuSeconds += r.cpuSeconds;
      sum.wallSeconds += r.wallSeconds;
      sum.exact += r.exact;
    }
    const double perMachine = sum.cpuSeconds / sequential;
    std::printf("dnc one machine after another by %s (%d of 32, scaled): wall=%.1f s cpu=%.2f s per_machine=%.3f s "
                "exact=%d/%d\n",
                what, sequential, sum.wallSeconds * kMachines / sequential, perMachine * kMachines, perMachine,
                sum.exact, sequential);
    return sum;
  };
  const Run byCli = oneAfterAnother("quelvo-cli", ServeByCli);
  const Run byService = oneAfterAnother("a service of one machine", [](int i) { return Serve(i, 1); });
  const bool ok = together.exact == kMachines && byCli.exact == sequential && byService.exact == sequential &&
                  together.cpuSeconds / together.wallSeconds < 0.25;
  std::printf("dnc goal (every byte exact, below a quarter of a core for 32): %s\n", ok ? "met" : "NOT met");
  return ok ? 0 : 1;
}
