// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A long NC program written straight to disk, line by line, so that neither the
// writer nor the reader of a large program needs it in memory: the program file
// a control punches, and optionally the text a reception should store from it.
#include <cstdint>
#include <string>

namespace quelvo::test {

struct GeneratedProgram {
  bool ok = false;
  std::uint64_t programBytes = 0;   // size of the program file
  std::uint64_t expectedBytes = 0;  // size of the text a reception stores
};

// Writes "%", "O1234", numbered G01 blocks up to about `bytes`, "M30" and "%"
// (LF line ends) to `programPath`. When `expectedPath` is not empty, writes
// there what a reception that deletes spaces and adds no "%" stores: the lines
// from O1234 to M30, each ended by CR LF. Only characters that ISO and EIA
// both carry are used.
GeneratedProgram WriteGeneratedProgram(std::uint64_t bytes, const std::string& programPath,
                                       const std::string& expectedPath);

// True when `received` (a reception cut short, as stored: CR LF line ends,
// the last line ended too) holds the first lines of `expected` whole and the
// start of the next one; otherwise false with the first difference in *why.
bool IsCutShortCopy(const std::string& received, const std::string& expected, std::string* why);

}  // namespace quelvo::test
