// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/dnc/DncSpool.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fcntl.h>

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

struct SpoolEntry {
  struct timespec mtime;
  std::string name;
};

// The queued entries in sending order: oldest first, then by name.
std::vector<SpoolEntry> SpoolEntries(const std::string& spool, std::time_t settledBefore) {
  using Entry = SpoolEntry;
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
  return entries;
}

}  // namespace

std::vector<std::string> SpooledFiles(const std::string& spool, std::time_t settledBefore) {
  std::vector<std::string> names;
  for (SpoolEntry& e : SpoolEntries(spool, settledBefore)) names.push_back(std::move(e.name));
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

bool MoveQueued(const std::string& spool, const std::string& name, int steps, std::string* error) {
  std::vector<SpoolEntry> entries = SpoolEntries(spool, 0);
  const auto at = std::find_if(entries.begin(), entries.end(), [&](const SpoolEntry& e) { return e.name == name; });
  if (!IsPlainName(name) || at == entries.end()) {
    *error = name + ": not queued";
    return false;
  }
  const long from = at - entries.begin();
  const long to = std::clamp(from + steps, 0L, static_cast<long>(entries.size()) - 1);
  if (to == from) return true;
  // The places' times stay where they were; the files move between them.
  std::vector<struct timespec> times;
  for (const SpoolEntry& e : entries) times.push_back(e.mtime);
  const SpoolEntry moved = *at;
  entries.erase(at);
  entries.insert(entries.begin() + to, moved);
  for (size_t i = 1; i < times.size(); ++i) {
    const struct timespec& before = times[i - 1];
    if (times[i].tv_sec > before.tv_sec || (times[i].tv_sec == before.tv_sec && times[i].tv_nsec > before.tv_nsec))
      continue;
    times[i] = before;
    if (++times[i].tv_nsec == 1000000000L) {
      times[i].tv_nsec = 0;
      ++times[i].tv_sec;
    }
  }
  for (size_t i = 0; i < entries.size(); ++i) {
    const struct timespec& t = entries[i].mtime;
    if (t.tv_sec == times[i].tv_sec && t.tv_nsec == times[i].tv_nsec) continue;
    const struct timespec set[2] = {{0, UTIME_OMIT}, times[i]};
    const std::string path = spool + "/" + entries[i].name;
    if (::utimensat(AT_FDCWD, path.c_str(), set, AT_SYMLINK_NOFOLLOW) != 0) {
      *error = path + ": " + std::strerror(errno);
      return false;
    }
  }
  return true;
}

}  // namespace quelvo
