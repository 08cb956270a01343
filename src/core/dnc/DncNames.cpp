// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/dnc/DncNames.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace quelvo {
namespace {

std::string RealPath(const std::string& path) {
  char buffer[PATH_MAX];
  if (::realpath(path.c_str(), buffer) == nullptr) return "";
  return buffer;
}

// Renames without replacing; EEXIST when the target exists.
int RenameNoReplace(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  // A file system without the flag: a hard link fails on an existing name.
  if (::link(from.c_str(), to.c_str()) != 0) return errno;
  ::unlink(from.c_str());
  return 0;
}

std::string WithSuffix(const std::string& name, const std::string& suffix) {
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0) return name + suffix;
  return name.substr(0, dot) + suffix + name.substr(dot);
}

}  // namespace

bool IsPlainName(const std::string& name) {
  if (name.empty() || name.size() > 255 || name[0] == '.') return false;
  for (const char c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '/' || c == '\\' || u < 0x20 || u == 0x7F) return false;
  }
  return true;
}

std::string FileTimeStamp(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
  return text;
}

std::string StampedName(const std::string& name, std::time_t when) {
  return WithSuffix(name, "-" + FileTimeStamp(when));
}

std::string ProgramNumberFileName(const std::string& programLine) {
  size_t i = programLine.find_first_not_of(' ');
  if (i == std::string::npos) return "";
  if (programLine[i] != 'O' && programLine[i] != 'o' && programLine[i] != ':') return "";
  ++i;
  const size_t start = i;
  while (i < programLine.size() && programLine[i] >= '0' && programLine[i] <= '9') ++i;
  if (i == start || i - start > 9) return "";
  return "O" + programLine.substr(start, i - start) + ".nc";
}

bool MoveWithoutReplacing(const std::string& from, const std::string& folder, const std::string& name,
                          std::time_t when, std::string* placed, std::string* error) {
  const std::string stamp = "-" + FileTimeStamp(when);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string candidate = name;
    if (attempt >= 1)
      candidate = WithSuffix(name, attempt == 1 ? stamp : stamp + "-" + std::to_string(attempt));
    const std::string target = folder + "/" + candidate;
    const int failure = RenameNoReplace(from, target);
    if (failure == 0) {
      *placed = target;
      return true;
    }
    if (failure != EEXIST) {
      *error = target + ": " + std::strerror(failure);
      return false;
    }
  }
  *error = folder + "/" + name + ": no free name";
  return false;
}

bool ResolveLibraryFile(const std::string& library, const std::string& name, std::string* path,
                        std::string* why) {
  if (!IsPlainName(name)) {
    *why = "not a plain file name: " + name;
    return false;
  }
  const std::string root = RealPath(library);
  if (root.empty()) {
    *why = library + ": " + std::strerror(errno);
    return false;
  }
  std::string candidates[2] = {name, ""};
  if (name.find('.') == std::string::npos) candidates[1] = name + ".nc";
  for (const std::string& candidate : candidates) {
    if (candidate.empty()) continue;
    const std::string real = RealPath(library + "/" + candidate);
    if (real.empty()) continue;
    if (real.compare(0, root.size() + 1, root + "/") != 0) {
      *why = "leads out of the library: " + candidate;
      return false;
    }
    struct stat st {};
    if (::stat(real.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    *path = real;
    return true;
  }
  *why = "not in the library: " + name;
  return false;
}

bool EnsureFolder(const std::string& path, std::string* error) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) {
    if (errno != ENOENT || (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) ||
        ::lstat(path.c_str(), &st) != 0) {
      *error = path + ": " + std::strerror(errno);
      return false;
    }
  }
  if (!S_ISDIR(st.st_mode)) {
    *error = path + ": not a folder";
    return false;
  }
  return true;
}

}  // namespace quelvo
