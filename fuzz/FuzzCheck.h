// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A property a fuzzer checks: when it does not hold, the fuzzer says which and
// aborts, so that libFuzzer keeps the input that broke it.
#include <cstdio>
#include <cstdlib>

namespace quelvo::fuzz {

inline void Check(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "fuzz: not so: %s\n", property);
  std::abort();
}

}  // namespace quelvo::fuzz
