// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/port/PortHolders.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/port/UniqueFd.h"

namespace quelvo {
namespace {

bool AllDigits(const char* text) {
  if (*text == '\0') return false;
  for (; *text != '\0'; ++text) {
    if (*text < '0' || *text > '9') return false;
  }
  return true;
}

std::string ReadLink(const std::string& path) {
  char target[PATH_MAX];
  const ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
  return n > 0 ? std::string(target, static_cast<size_t>(n)) : std::string();
}

// The command name of a process, for the message; empty when unreadable.
std::string ProcessName(const std::string& pid) {
  UniqueFd fd(::open(("/proc/" + pid + "/comm").c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.Valid()) return std::string();
  char name[64];
  const ssize_t n = ::read(fd.Get(), name, sizeof name);
  if (n <= 0) return std::string();
  std::string text(name, static_cast<size_t>(n));
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

std::string DescribeProcess(const std::string& pid) {
  const std::string name = ProcessName(pid);
  return "pid " + pid + (name.empty() ? std::string() : " (" + name + ")");
}

// True when `pid` names a process that exists (EPERM: it exists but belongs
// to another user).
bool ProcessAlive(long pid) { return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM; }

// The process number a lock file holds, ASCII as HDB UUCP writes it; 0 when
// the file holds none.
long LockFilePid(const std::string& path) {
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
  if (!fd.Valid()) return 0;
  char text[32];
  const ssize_t n = ::read(fd.Get(), text, sizeof text - 1);
  if (n <= 0) return 0;
  text[n] = '\0';
  const long pid = std::strtol(text, nullptr, 10);
  return pid > 0 ? pid : 0;
}

}  // namespace

PortError PortInUseBy(const std::string& holder) {
  PortError error;
  error.kind = PortErrorKind::kInUse;
  error.systemError = EBUSY;
  error.reason = holder;
  return error;
}

std::string RealDevicePath(const std::string& device) {
  char resolved[PATH_MAX];
  return ::realpath(device.c_str(), resolved) != nullptr ? std::string(resolved) : std::string();
}

std::string OtherProcessHolding(const std::string& realDevice) {
  DIR* proc = ::opendir("/proc");
  if (proc == nullptr) return std::string();
  const std::string self = std::to_string(::getpid());
  std::string holder;
  while (holder.empty()) {
    const dirent* entry = ::readdir(proc);
    if (entry == nullptr) break;
    if (!AllDigits(entry->d_name) || self == entry->d_name) continue;
    const std::string fdFolder = std::string("/proc/") + entry->d_name + "/fd";
    // Other users' processes are unreadable without privileges: skipped.
    DIR* fds = ::opendir(fdFolder.c_str());
    if (fds == nullptr) continue;
    while (const dirent* fd = ::readdir(fds)) {
      if (!AllDigits(fd->d_name)) continue;
      // readlink only reads the link text; it never touches the file behind it.
      if (ReadLink(fdFolder + "/" + fd->d_name) == realDevice) {
        holder = DescribeProcess(entry->d_name);
        break;
      }
    }
    ::closedir(fds);
  }
  ::closedir(proc);
  return holder;
}

std::string UucpLock::FileName(const std::string& realDevice) {
  std::string name = realDevice;
  if (name.rfind("/dev/", 0) == 0) {
    name.erase(0, 5);
  } else if (const size_t slash = name.rfind('/'); slash != std::string::npos) {
    name.erase(0, slash + 1);
  }
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  return "LCK.." + name;
}

bool UucpLock::Acquire(const std::string& folder, const std::string& realDevice, PortError* error) {
  Release();
  const std::string path = folder + "/" + FileName(realDevice);
  const long self = static_cast<long>(::getpid());
  // Two rounds: a stale file removed in the first is created in the second.
  for (int round = 0; round < 2; ++round) {
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (fd.Valid()) {
      char text[16];
      const int length = std::snprintf(text, sizeof text, "%10ld\n", self);
      if (::write(fd.Get(), text, static_cast<size_t>(length)) == length) {
        path_ = path;
        return true;
      }
      ::unlink(path.c_str());  // a lock file without its process number would be stale at once
      return true;
    }
    if (errno != EEXIST) return true;  // no lock files here for this user: open without one
    const long pid = LockFilePid(path);
    if (pid == self) return true;  // left by this process; it is not a holder
    if (pid != 0 && ProcessAlive(pid)) {
      *error = PortInUseBy(path + ", " + DescribeProcess(std::to_string(pid)));
      return false;
    }
    ::unlink(path.c_str());
  }
  return true;
}

void UucpLock::Release() {
  if (!path_.empty()) ::unlink(path_.c_str());
  path_.clear();
}

}  // namespace quelvo
