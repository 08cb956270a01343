// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/StaleTempFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>

namespace quelvo {
namespace {

bool AllOf(const std::string& text, int (*test)(int)) {
  if (text.empty()) return false;
  for (unsigned char c : text) {
    if (!test(c)) return false;
  }
  return true;
}

bool ProcessGone(long pid) { return kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH; }

}  // namespace

long TempFileOwnerPid(const std::string& name) {
  const std::string suffix = ".tmp";
  if (name.size() <= 1 + suffix.size() || name[0] != '.' ||
      name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
    return 0;
  }
  const std::string stem = name.substr(1, name.size() - 1 - suffix.size());
  const size_t tagDot = stem.rfind('.');
  if (tagDot == std::string::npos || !AllOf(stem.substr(tagDot + 1), isalnum)) return 0;
  const size_t pidDot = stem.rfind('.', tagDot - 1);
  if (pidDot == std::string::npos || pidDot == 0 || tagDot == 0) return 0;
  const std::string pid = stem.substr(pidDot + 1, tagDot - pidDot - 1);
  if (!AllOf(pid, isdigit) || pid.size() > 9) return 0;
  return std::stol(pid);
}

int RemoveStaleTempFiles(const std::string& folder) {
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return 0;
  const int dirFd = dirfd(dir);
  int removed = 0;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    const long pid = TempFileOwnerPid(name);
    if (pid <= 0 || pid == static_cast<long>(getpid()) || !ProcessGone(pid)) continue;
    struct stat st;
    if (fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(st.st_mode) || st.st_uid != geteuid()) continue;
    if (unlinkat(dirFd, name.c_str(), 0) == 0) ++removed;
  }
  closedir(dir);
  return removed;
}

}  // namespace quelvo
