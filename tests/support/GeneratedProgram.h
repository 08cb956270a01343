// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A long NC program for transfer tests and benchmarks: "%", a program number,
// numbered motion blocks (some with a comment in parentheses, some with a
// comment after ";" that the send filter cuts), "M30" and "%", lines joined
// by CR LF without a final line break. Upper case only, so that every
// character has an EIA code; no M2 word before the end, so the engine's
// pause after a program end falls on the last block only.
#include <cstdio>
#include <string>

namespace quelvo::test {

inline std::string GeneratedProgram(size_t bytes) {
  std::string text = "%\r\nO1234(GENERATED)\r\n";
  text.reserve(bytes + 64);
  char line[80];
  for (long n = 1; text.size() < bytes; ++n) {
    int length;
    if (n % 97 == 0) {
      length = std::snprintf(line, sizeof line, "N%ld G00 Z%ld.(RETRACT %ld)\r\n", n, n % 50, n);
    } else if (n % 89 == 0) {
      length = std::snprintf(line, sizeof line, "N%ld G04 X1.;DWELL\r\n", n);
    } else {
      length = std::snprintf(line, sizeof line, "N%ld G01 X%ld.%03ld Y-%ld.5 F1200.\r\n", n,
                             n % 997, n % 1000, n % 311);
    }
    text.append(line, static_cast<size_t>(length));
  }
  text += "M30\r\n%";
  return text;
}

}  // namespace quelvo::test
