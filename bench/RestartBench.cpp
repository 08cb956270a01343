// SPDX-License-Identifier: GPL-3.0-or-later
// A restart planned at the last block of a 100 MB NC program (CAM output with
// a tool change every 200,000 blocks): the time from the text to the plan and
// the program to send, as the window, quelvo-cli and the service make it.
#include <chrono>
#include <cstdio>
#include <string>

#include "core/toolpath/NcInterpreter.h"
#include "core/toolpath/RestartPlan.h"

namespace {

constexpr size_t kBytes = 100u * 1000 * 1000;

std::string Program(int32_t* lastBlock) {
  std::string text = "%\nO5000(BENCH)\nG21 G90 G17 G40 G49 G80\nT1 M06\nG54 G00 X0 Y0 S8000 M03\nG43 Z50. H1 M08\n"
                     "G01 Z-1. F1200.\n";
  text.reserve(kBytes + 64);
  char line[80];
  long n = 10;
  int32_t lines = 7;
  int tool = 1;
  while (text.size() < kBytes) {
    for (int i = 0; i < 400 && text.size() < kBytes; ++i, n += 10, ++lines) {
      const int length = std::snprintf(line, sizeof line, "N%ld X%.3f Y%.3f\n", n, (i % 200) * 0.5, (n % 1500) * 0.1);
      text.append(line, static_cast<size_t>(length));
    }
    if (n % 2000000 == 0) {
      ++tool;
      const int length = std::snprintf(line, sizeof line, "G00 Z50. M09\nT%d M06\nG43 Z50. H%d M08\nG01 Z-1.\n",
                                       tool, tool);
      text.append(line, static_cast<size_t>(length));
      lines += 4;
    }
  }
  *lastBlock = lines;
  text += "M30\n%\n";
  return text;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main() {
  int32_t last = 0;
  const std::string text = Program(&last);
  {
    const auto start = std::chrono::steady_clock::now();
    const quelvo::ToolPath path = quelvo::Interpret(text, 1, {});
    std::printf("restart: the interpreter alone on the whole text: %.2f s\n", Seconds(start));
  }
  for (int round = 0; round < 3; ++round) {
    const auto start = std::chrono::steady_clock::now();
    const quelvo::RestartPlan plan = quelvo::PlanRestart(text, last, {});
    const std::string program = quelvo::RestartProgramText(plan, text);
    const double seconds = Seconds(start);
    std::printf("restart: plan at line %d of %.1f MB (%s, %zu preamble lines, %zu bytes to send): %.2f s (goal 2 s)\n",
                last, text.size() / 1e6, plan.Refused() ? "refused" : "planned", plan.preamble.size(), program.size(),
                seconds);
  }
  return 0;
}
