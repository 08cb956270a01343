// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whole-file reads and writes for setting up and checking test files.
#include <fstream>
#include <iterator>
#include <string>

namespace quelvo::test {

inline std::string WriteTestFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

inline std::string ReadTestFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace quelvo::test
