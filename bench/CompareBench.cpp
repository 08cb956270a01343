// SPDX-License-Identifier: GPL-3.0-or-later
// Times the compare of two 100 MB NC programs that differ in a few blocks, as
// quelvo-cli compare does it: both files read from disk (CP932, CR LF), keyed,
// hashed and diffed. The whole must stay under 3 s; the peak memory is shown
// beside it.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "core/compare/CompareReport.h"
#include "core/compare/ProgramCompare.h"
#include "core/document/TextLines.h"
#include "support/TempFolder.h"

namespace {

std::string MakeProgram(std::size_t bytes, bool changed) {
  std::string text;
  text.reserve(bytes + 64);
  text += "%\r\nO1234 (\x8d\x48\x8b\xef 1)\r\n";
  char line[80];
  for (long n = 1; text.size() < bytes; ++n) {
    if (changed && n % 1000000 == 500000) text += "M01\r\n";        // a few blocks added
    if (changed && n % 1500000 == 700000) continue;                  // some removed
    const long x = changed && n % 2000000 == 900000 ? 1 : n % 997;    // some changed
    const int length = std::snprintf(line, sizeof line, "N%ld G01 X%ld.%03ld Y-%ld.5 F1200\r\n", n % 100000, x,
                                     n % 1000, n % 311);
    text.append(line, static_cast<std::size_t>(length));
  }
  text += "M30\r\n%\r\n";
  return text;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main() {
  using namespace quelvo;
  test::TempFolder dir;
  const std::string a = dir.File("a.nc"), b = dir.File("b.nc");
  std::ofstream(a, std::ios::binary) << MakeProgram(100u * 1000u * 1000u, false);
  std::ofstream(b, std::ios::binary) << MakeProgram(100u * 1000u * 1000u, true);

  for (const char* what : {"default options", "by value, N and comments ignored"}) {
    CompareOptions options;
    if (what[0] == 'b') options.numbersByValue = options.ignoreSequenceNumbers = options.ignoreComments = true;
    const double cpuStart = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    std::string ta, tb, error;
    if (!ReadProgramFile(a, ta, error) || !ReadProgramFile(b, tb, error)) {
      std::printf("compare: %s\n", error.c_str());
      return 1;
    }
    const double read = Seconds(start);
    const CompareResult r = CompareLines(SplitTextLines(ta), SplitTextLines(tb), options);
    const double total = Seconds(start), cpu = CpuSeconds() - cpuStart;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    // Judged by the processor time: on a busy machine the clock also counts other programs' turns.
    std::printf("compare 100 MB / 100 MB, %-34s %6.3f s, processor %6.3f s (reading %5.3f s)  %s  peak %ld MB  %s\n",
                what, total, cpu, read, CompareSummaryText(r).c_str(), usage.ru_maxrss / 1024,
                cpu < 3.0 ? "ok" : "TOO SLOW");
  }
  return 0;
}
