// SPDX-License-Identifier: GPL-3.0-or-later
// quelvo-cli against the window's command-line path: one 10 MB program sent
// unpaced through a pseudo-terminal to the simulated NC control (old-type
// protocol: the driver paces, the control never pauses), once by
// "quelvo S=FILE END" on the offscreen platform and once by
// "quelvo-cli send FILE". Each line gives characters per second (start to
// exit) and processor seconds per MB of the program; the last line says
// whether quelvo-cli needed no more processor time per MB than the window,
// and the program fails when it needed more. QUELVO_CLI_BENCH_MB sets another
// size.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "CliProcess.h"
#include "NcsimProcess.h"
#include "support/GeneratedProgram.h"
#include "support/TempFolder.h"

namespace quelvo {
namespace {

using ncsim::test::NcsimProcess;
using ncsim::test::ReportValue;

size_t ProgramBytes() {
  const char* mb = std::getenv("QUELVO_CLI_BENCH_MB");
  const long n = mb != nullptr ? std::atol(mb) : 0;
  return static_cast<size_t>(n > 0 ? n : 10) * 1000 * 1000;
}

const size_t kProgramBytes = ProgramBytes();

struct Figures {
  double charsPerSecond = 0;
  double cpuSecondsPerMb = 0;
  bool complete = false;
};

Figures Run(bool cli) {
  test::TempFolder home;
  const std::string link = home.File("ncport");
  const std::string program = home.File("big.nc");
  cli::test::WriteFile(program, test::GeneratedProgram(kProgramBytes));
  cli::test::WriteFile(home.File("SetData1.ini"), "[Setting_S]\r\nPort=" + link + "\r\nControl=2\r\n");
  NcsimProcess sim({"--link", link, "--code", "iso", "--baud", "0", "--buffer", "16000000", "--once"});
  if (sim.WaitFor("ready", 10000).empty()) return {};

  std::vector<std::pair<std::string, std::string>> env{{"QUELVO_HOME", home.Path()}};
  std::vector<std::string> args;
  std::string path;
  if (cli) {
    path = QUELVO_CLI_PATH;
    args = {"send", program, "--quiet"};
  } else {
    path = QUELVO_PATH;
    args = {"S=" + program, "END"};
    env.insert(env.end(), {{"XDG_RUNTIME_DIR", home.Path()},
                           {"QT_QPA_PLATFORM", "offscreen"},
                           {"QUELVO_NO_PORT_PROBE", "1"}});
  }
  const auto start = std::chrono::steady_clock::now();
  cli::test::ChildProcess run(path, args, env, home.File("run"));
  rusage usage{};
  const int status = run.WaitExit(24 * 3600 * 1000, &usage);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const std::string end = sim.WaitFor("end", 30000);
  const long chars = ReportValue(end, "chars");
  const double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  Figures f;
  f.complete = status == 0 && chars > static_cast<long>(kProgramBytes * 9 / 10);
  f.charsPerSecond = seconds > 0 ? static_cast<double>(chars) / seconds : 0;
  f.cpuSecondsPerMb = cpu / (static_cast<double>(kProgramBytes) / 1e6);
  return f;
}

}  // namespace
}  // namespace quelvo

int main() {
  using quelvo::Figures;
  const Figures window = quelvo::Run(false);
  const Figures cli = quelvo::Run(true);
  const double mb = static_cast<double>(quelvo::kProgramBytes) / 1e6;
  std::printf("cli_send window S=... END, %.0f MB unpaced: %.0f chars/s, %.3f CPU s/MB%s\n", mb,
              window.charsPerSecond, window.cpuSecondsPerMb, window.complete ? "" : " (INCOMPLETE)");
  std::printf("cli_send quelvo-cli send, %.0f MB unpaced: %.0f chars/s, %.3f CPU s/MB%s\n", mb, cli.charsPerSecond,
              cli.cpuSecondsPerMb, cli.complete ? "" : " (INCOMPLETE)");
  const bool ok = window.complete && cli.complete && cli.cpuSecondsPerMb <= window.cpuSecondsPerMb;
  std::printf("cli_send quelvo-cli CPU per MB <= window's: %s\n", ok ? "yes" : "NO");
  return ok ? 0 : 1;
}
