// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/dnc/DncSpool.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/common/AtomicFile.h"
#include "core/common/UniqueFile.h"
#include "core/dnc/DncNames.h"

namespace quelvo {
namespace {

constexpr const char* kSentFolder = "sent";
constexpr const char* kQueueTempPrefix = ".queue-";

std::string BaseName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::vector<std::string> SpooledFiles(const std::string& spool, std::time_t settledBefore) {
  struct Entry {
    struct timespec mtime;
    std::string name;
  };
  std::vector<Entry> entries;
  DIR* dir = ::opendir(spool.c_str());
  if (dir == nullptr) return {};
  while (const dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name;
    if (!IsPlainName(name)) continue;
    struct stat st {};
    if (::lstat((spool + "/" + name).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    if (settledBefore != 0 && st.st_mtim.tv_sec > settledBefore) continue;
    entries.push_back({st.st_mtim, name});
  }
  ::closedir(dir);
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    if (a.mtime.tv_sec != b.mtime.tv_sec) return a.mtime.tv_sec < b.mtime.tv_sec;
    if (a.mtime.tv_nsec != b.mtime.tv_nsec) return a.mtime.tv_nsec < b.mtime.tv_nsec;
    return a.name < b.name;
  });
  std::vector<std::string> names;
  for (Entry& e : entries) names.push_back(std::move(e.name));
  return names;
}

std::vector<SpoolRefusal> RefusedSpoolEntries(const std::string& spool) {
  std::vector<SpoolRefusal> refused;
  DIR* dir = ::opendir(spool.c_str());
  if (dir == nullptr) return refused;
  while (const dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name;
    if (name == "." || name == ".." || name == kSentFolder) continue;
    // The queue command's temporary file: renamed to its final name in a moment.
    if (name.rfind(kQueueTempPrefix, 0) == 0 && name.size() > 4 && name.compare(name.size() - 4, 4, ".tmp") == 0)
      continue;
    struct stat st {};
    if (::lstat((spool + "/" + name).c_str(), &st) != 0) continue;
    std::string why;
    if (S_ISLNK(st.st_mode))
      why = "a symbolic link (queue the file itself)";
    else if (S_ISDIR(st.st_mode))
      why = "a folder";
    else if (!S_ISREG(st.st_mode))
      why = "not a regular file (a FIFO, socket or device)";
    else if (name[0] == '.')
      why = "a hidden file (its name starts with a dot)";
    else if (!IsPlainName(name))
      why = "its name holds control characters";
    else
      continue;
    refused.push_back({name, why});
  }
  ::closedir(dir);
  std::sort(refused.begin(), refused.end(),
            [](const SpoolRefusal& a, const SpoolRefusal& b) { return a.name < b.name; });
  return refused;
}

bool MarkSent(const std::string& spool, const std::string& name, std::time_t when, std::string* placed,
              std::string* error) {
  const std::string sent = spool + "/" + kSentFolder;
  if (!EnsureFolder(sent, error)) return false;
  return MoveWithoutReplacing(spool + "/" + name, sent, StampedName(name, when), when, placed, error);
}

bool EnqueueFile(const std::string& spool, const std::string& source, std::time_t when, std::string* placed,
                 std::string* error) {
  const std::string name = BaseName(source);
  if (!IsPlainName(name)) {
    *error = source + ": not a plain file name";
    return false;
  }
  std::string bytes, reason;
  if (!ReadWholeFile(source, &bytes, &reason)) {
    *error = source + ": " + reason;
    return false;
  }
  return EnqueueBytes(spool, name, bytes, when, placed, error);
}

int CreateSpoolTemp(const std::string& spool, std::string* temp, std::string* error) {
  const int fd = CreateUniqueFile(spool, kQueueTempPrefix, ".tmp", temp);
  if (fd < 0) *error = spool + ": " + std::strerror(errno);
  return fd;
}

bool CommitSpoolTemp(int fd, const std::string& temp, const std::string& spool, const std::string& name,
                     std::time_t when, std::string* placed, std::string* error) {
  const bool synced = ::fsync(fd) == 0;
  const int syncErrno = errno;
  ::close(fd);
  if (!IsPlainName(name)) {
    *error = name + ": not a plain file name";
  } else if (!synced) {
    *error = temp + ": " + std::strerror(syncErrno);
  } else if (MoveWithoutReplacing(temp, spool, name, when, placed, error)) {
    return true;
  }
  ::unlink(temp.c_str());
  return false;
}

bool EnqueueBytes(const std::string& spool, const std::string& name, const std::string& bytes, std::time_t when,
                  std::string* placed, std::string* error) {
  if (!IsPlainName(name)) {
    *error = name + ": not a plain file name";
    return false;
  }
  std::string temp;
  const int fd = CreateSpoolTemp(spool, &temp, error);
  if (fd < 0) return false;
  if (!WriteAllBytes(fd, bytes)) {
    *error = temp + ": " + std::strerror(errno);
    ::close(fd);
    ::unlink(temp.c_str());
    return false;
  }
  return CommitSpoolTemp(fd, temp, spool, name, when, placed, error);
}

bool RemoveQueued(const std::string& spool, const std::string& name, std::string* error) {
  if (!IsPlainName(name)) {
    *error = name + ": not a plain file name";
    return false;
  }
  const std::string path = spool + "/" + name;
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    *error = name + ": not queued";
    return false;
  }
  if (::unlink(path.c_str()) != 0) {
    *error = path + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace quelvo
