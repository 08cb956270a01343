// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One scratch folder for a whole fuzzing run, on a memory file system where
// there is one (settings and logs are written with fsync), removed at exit.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/TempFolder.h"

namespace quelvo::fuzz {

inline const std::string& FuzzFolder() {
  static const test::TempFolder folder(test::MemoryTempBase());
  if (folder.Path().empty()) {
    std::perror("fuzz: no scratch folder");
    std::abort();
  }
  return folder.Path();
}

// Replaces the file at `path` with `bytes`.
inline void WriteFuzzFile(const std::string& path, const std::string& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    std::perror(path.c_str());
    std::abort();
  }
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

}  // namespace quelvo::fuzz
