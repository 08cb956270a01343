// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/dnc/DncFolderViews.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

#include "core/dnc/DncNames.h"

namespace quelvo {
namespace {

bool Later(const struct timespec& a, const struct timespec& b) {
  return a.tv_sec != b.tv_sec ? a.tv_sec > b.tv_sec : a.tv_nsec > b.tv_nsec;
}

std::vector<std::string> PlainNames(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return names;
  while (const dirent* e = ::readdir(dir)) {
    if (IsPlainName(e->d_name)) names.push_back(e->d_name);
  }
  ::closedir(dir);
  return names;
}

bool AllDigits(const std::string& text, size_t from, size_t count) {
  if (from + count > text.size() || count == 0) return false;
  for (size_t i = from; i < from + count; ++i)
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
  return true;
}

}  // namespace

std::vector<StoredFile> InboxFiles(const std::string& inbox) {
  struct Entry {
    StoredFile file;
    struct timespec at;
  };
  std::vector<Entry> entries;
  for (const std::string& name : PlainNames(inbox)) {
    struct stat st {};
    if (::lstat((inbox + "/" + name).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    entries.push_back({{name, static_cast<long long>(st.st_size), st.st_mtim.tv_sec}, st.st_mtim});
  }
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    if (Later(a.at, b.at) || Later(b.at, a.at)) return Later(a.at, b.at);
    return a.file.name < b.file.name;
  });
  std::vector<StoredFile> files;
  for (Entry& e : entries) files.push_back(std::move(e.file));
  return files;
}

std::vector<StoredFile> LibraryPrograms(const std::string& library) {
  std::vector<StoredFile> files;
  for (const std::string& name : PlainNames(library)) {
    std::string path, why;
    struct stat st {};
    if (!ResolveLibraryFile(library, name, &path, &why) || ::stat(path.c_str(), &st) != 0) continue;
    files.push_back({name, static_cast<long long>(st.st_size), st.st_mtim.tv_sec});
  }
  std::sort(files.begin(), files.end(), [](const StoredFile& a, const StoredFile& b) { return a.name < b.name; });
  return files;
}

int OpenStoredFile(const std::string& folder, const std::string& name, std::string* error) {
  if (!IsPlainName(name)) {
    *error = name + ": not a plain file name";
    return -1;
  }
  const int fd = ::open((folder + "/" + name).c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  struct stat st {};
  if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    *error = name + ": " + (fd < 0 && errno != ELOOP ? std::strerror(errno) : "not a regular file");
    if (fd >= 0) ::close(fd);
    return -1;
  }
  return fd;
}

bool IsTransferLogOf(const std::string& fileName, const std::string& machine) {
  // MACHINE-yyyymmdd-hhmmss-N-D.log
  const size_t p = machine.size();
  if (machine.empty() || fileName.compare(0, p, machine) != 0 || fileName.size() < p + 1 || fileName[p] != '-')
    return false;
  const std::string rest = fileName.substr(p + 1);
  if (!AllDigits(rest, 0, 8) || rest.size() < 16 || rest[8] != '-' || !AllDigits(rest, 9, 6) || rest[15] != '-')
    return false;
  const std::string tail = rest.substr(16);  // N-D.log
  const size_t dash = tail.find('-');
  if (dash == std::string::npos || !AllDigits(tail, 0, dash)) return false;
  const std::string end = tail.substr(dash);
  return end == "-R.log" || end == "-S.log";
}

std::string LastTransferLog(const std::string& logDir, const std::string& machine) {
  std::string newest;
  struct timespec newestAt {};
  for (const std::string& name : PlainNames(logDir)) {
    if (!IsTransferLogOf(name, machine)) continue;
    struct stat st {};
    if (::lstat((logDir + "/" + name).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    if (newest.empty() || Later(st.st_mtim, newestAt) || (!Later(newestAt, st.st_mtim) && name > newest)) {
      newest = name;
      newestAt = st.st_mtim;
    }
  }
  return newest.empty() ? "" : logDir + "/" + newest;
}

}  // namespace quelvo
