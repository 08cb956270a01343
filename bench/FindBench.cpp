// SPDX-License-Identifier: GPL-3.0-or-later
// Times the find routine on a 100 MB NC program: a search that finds nothing
// must stay well under a second, whichever the direction.
#include <chrono>
#include <cstdio>
#include <string>

#include "core/document/FindText.h"

namespace {

std::string MakeProgram(std::size_t bytes) {
  std::string text;
  text.reserve(bytes + 64);
  text += "%\r\nO1234\r\n";
  char line[64];
  for (long n = 1; text.size() < bytes; ++n) {
    const int length = std::snprintf(line, sizeof line, "N%ld G01 X%ld.%03ld Y-%ld.5 F1200\r\n",
                                     n % 100000, n % 997, n % 1000, n % 311);
    text.append(line, static_cast<std::size_t>(length));
  }
  text += "M30\r\n%";
  return text;
}

template <typename Search>
void Report(const char* what, std::size_t bytes, Search search) {
  const auto start = std::chrono::steady_clock::now();
  const auto found = search();
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  std::printf("find %-40s %5.1f MB  %7.3f s  %s\n", what, bytes / 1e6, took.count(),
              found ? "found" : "not found");
}

}  // namespace

int main() {
  using quelvo::FindDirection;
  using quelvo::FindInDocument;
  const std::string doc = MakeProgram(100u * 1000u * 1000u);
  const std::size_t size = doc.size();
  Report("forward, text absent (g02)", size,
         [&] { return FindInDocument(doc, "g02", FindDirection::Down, {0, 0}); });
  Report("forward, text absent (one letter, q)", size,
         [&] { return FindInDocument(doc, "q", FindDirection::Down, {0, 0}); });
  Report("backward, text absent (g02)", size,
         [&] { return FindInDocument(doc, "g02", FindDirection::Up, {size, 0}); });
  Report("backward, text absent (one letter, q)", size,
         [&] { return FindInDocument(doc, "q", FindDirection::Up, {size, 0}); });
  Report("forward, match on the last line (m30)", size,
         [&] { return FindInDocument(doc, "m30", FindDirection::Down, {0, 0}); });
  Report("backward, match on the second line (o1234)", size,
         [&] { return FindInDocument(doc, "o1234", FindDirection::Up, {size, 0}); });
  return 0;
}
