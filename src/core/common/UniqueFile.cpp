// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/UniqueFile.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace quelvo {
namespace {

constexpr char kNameChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr int kRandomChars = 10;
constexpr int kAttempts = 100;

std::string RandomPart() {
  uint8_t bytes[kRandomChars];
  size_t got = 0;
  while (got < sizeof bytes) {
    const ssize_t n = getrandom(bytes + got, sizeof bytes - got, 0);
    if (n < 0) {
      if (errno == EINTR) continue;
      break;
    }
    got += static_cast<size_t>(n);
  }
  std::string text;
  for (uint8_t b : bytes) text += kNameChars[b % (sizeof kNameChars - 1)];
  return text;
}

}  // namespace

int CreateUniqueFile(const std::string& folder, const std::string& prefix, const std::string& suffix,
                     std::string* path) {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const std::string candidate = folder + "/" + prefix + RandomPart() + suffix;
    const int fd = open(candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0) {
      *path = candidate;
      return fd;
    }
    if (errno != EEXIST) return -1;
  }
  errno = EEXIST;
  return -1;
}

int CreateTempFileBeside(const std::string& target, std::string* path) {
  const size_t slash = target.rfind('/');
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  return CreateUniqueFile(FolderOfFile(target), "." + name + "." + std::to_string(getpid()) + ".", ".tmp",
                          path);
}

bool IsSymbolicLink(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

std::string SymbolicLinkRefusal(const std::string& path) {
  return path + " はシンボリックリンクの為、書き込みません";
}

std::string FolderOfFile(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace quelvo
