// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A fresh folder for one test, removed with everything in it afterwards.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace quelvo::test {

// A memory file system for folders whose files are written with fsync, where
// there is one; empty (the default place) otherwise.
inline std::string MemoryTempBase() { return access("/dev/shm", W_OK) == 0 ? "/dev/shm" : ""; }

class TempFolder {
 public:
  // In `base`, or in $TMPDIR (default /tmp) when base is empty.
  explicit TempFolder(std::string base = "") {
    const char* tmp = std::getenv("TMPDIR");
    if (base.empty()) base = tmp && *tmp ? tmp : "/tmp";
    std::string pattern = base + "/quelvo-test-XXXXXX";
    if (mkdtemp(pattern.data())) path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    // Folders a test made read-only must become writable again to be removed.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
      if (it->is_directory(ignored)) chmod(it->path().c_str(), 0700);
    }
    chmod(path_.c_str(), 0700);
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

}  // namespace quelvo::test
