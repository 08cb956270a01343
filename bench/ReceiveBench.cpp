// SPDX-License-Identifier: GPL-3.0-or-later
// Receiving a long program from the simulated NC control through a
// pseudo-terminal, without line-speed pacing. Figures: the peak memory of a
// 5 MB and a 50 MB reception, each in a process of its own (the engine keeps
// at most one block of lines, so the peak must not grow with the program),
// and the throughput of the 50 MB reception against the fastest line, 19200
// baud (10 bits per character).
//
//   receive_bench            both receptions and the figures
//   receive_bench --one MB   one reception; prints "peak_kib= bytes= seconds= cpu= ok="
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "GeneratedProgram.h"
#include "NcsimReceiveRig.h"
#include "support/TempFolder.h"

namespace {

constexpr double kMegabyte = 1000.0 * 1000.0;
constexpr double kFastestLineCharsPerSecond = 19200.0 / 10.0;
constexpr double kRequiredLineMultiple = 100.0;
constexpr double kAllowedGrowthMb = 20.0;

struct Figures {
  long peakKib = 0;
  double bytes = 0;
  double seconds = 0;
  double cpuSeconds = 0;  // the receiving process's own processor time
  bool ok = false;
};

int RunOne(int megabytes) {
  quelvo::test::TempFolder temp;
  const std::string programPath = temp.File("program.nc");
  const quelvo::test::GeneratedProgram program =
      quelvo::test::WriteGeneratedProgram(static_cast<std::uint64_t>(megabytes * kMegabyte), programPath, "");
  quelvo::test::NcsimReceiveRig rig(temp.Path());
  if (!program.ok || !rig.StartControl(programPath, "iso")) {
    std::printf("peak_kib=0 bytes=0 seconds=0 cpu=0 ok=0\n");
    return 1;
  }
  const auto start = std::chrono::steady_clock::now();
  const quelvo::ReceiveOutcome outcome = rig.Receive(temp.File("received.nc"));
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;

  struct stat saved {};
  const bool whole = stat(temp.File("received.nc").c_str(), &saved) == 0 &&
                     static_cast<std::uint64_t>(saved.st_size) == program.expectedBytes;
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const double cpu = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                     (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  std::printf("peak_kib=%ld bytes=%llu seconds=%.3f cpu=%.3f ok=%d\n", usage.ru_maxrss,
              static_cast<unsigned long long>(program.programBytes), took.count(), cpu,
              outcome.ReceiveCompleted && whole ? 1 : 0);
  return outcome.ReceiveCompleted && whole ? 0 : 1;
}

// Runs this program with "--one megabytes" and reads its figures.
Figures RunChild(int megabytes) {
  Figures figures;
  int fds[2];
  if (pipe(fds) != 0) return figures;
  const std::string size = std::to_string(megabytes);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(fds[1], STDOUT_FILENO);
    close(fds[0]);
    close(fds[1]);
    execl("/proc/self/exe", "receive_bench", "--one", size.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  std::string output;
  char buffer[256];
  ssize_t n;
  while ((n = read(fds[0], buffer, sizeof buffer)) > 0) output.append(buffer, static_cast<size_t>(n));
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  int ok = 0;
  if (std::sscanf(output.c_str(), "peak_kib=%ld bytes=%lf seconds=%lf cpu=%lf ok=%d", &figures.peakKib,
                  &figures.bytes, &figures.seconds, &figures.cpuSeconds, &ok) == 5) {
    figures.ok = ok == 1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
  if (!figures.ok) std::fprintf(stderr, "receive_bench --one %d: status %d, output: %s\n", megabytes, status, output.c_str());
  return figures;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--one") == 0) return RunOne(std::atoi(argv[2]));

  const Figures small = RunChild(5);
  const Figures large = RunChild(50);
  if (!small.ok || !large.ok) {
    std::printf("receive  reception through ncsim failed (5 MB ok=%d, 50 MB ok=%d)\n", small.ok, large.ok);
    return 1;
  }
  const double growthMb = (large.peakKib - small.peakKib) * 1024.0 / kMegabyte;
  const double charsPerSecond = large.bytes / large.seconds;
  const double multiple = charsPerSecond / kFastestLineCharsPerSecond;
  std::printf("receive  5 MB peak memory              %8.1f MB\n", small.peakKib * 1024.0 / kMegabyte);
  std::printf("receive 50 MB peak memory              %8.1f MB\n", large.peakKib * 1024.0 / kMegabyte);
  std::printf("receive peak memory growth 5->50 MB    %8.1f MB (limit %.0f MB)\n", growthMb, kAllowedGrowthMb);
  std::printf("receive 50 MB time                     %8.2f s\n", large.seconds);
  std::printf("receive 50 MB throughput               %8.0f chars/s = %.0fx 19200 baud (limit %.0fx)\n",
              charsPerSecond, multiple, kRequiredLineMultiple);
  // On a machine busy with other work the wall-clock rate understates the
  // engine: this is the rate its own processor time allows.
  std::printf("receive 50 MB processor time           %8.2f s = %.0fx 19200 baud\n", large.cpuSeconds,
              large.bytes / large.cpuSeconds / kFastestLineCharsPerSecond);
  return growthMb < kAllowedGrowthMb && multiple >= kRequiredLineMultiple ? 0 : 1;
}
