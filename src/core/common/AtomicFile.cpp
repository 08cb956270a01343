// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/AtomicFile.h"

#include "core/common/StaleTempFiles.h"
#include "core/common/UniqueFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "core/common/RegularFile.h"

namespace quelvo {
namespace {

std::string Reason() { return std::strerror(errno); }

void SetError(std::string* error, const std::string& text) {
  if (error) *error = text;
}

// Writes a symbolic link's target rather than replacing the link with a file.
std::string ResolveLink(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char* real = realpath(path.c_str(), nullptr);
  if (!real) return path;
  std::string resolved = real;
  std::free(real);
  return resolved;
}

}  // namespace

bool WriteAllBytes(int fd, std::string_view bytes) {
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  return true;
}

bool IsWritablePlace(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return false;
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
  return access(path.c_str(), W_OK) == 0;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error,
                         LinkAtTarget links) {
  if (links == LinkAtTarget::kRefuse && IsSymbolicLink(path)) {
    SetError(error, SymbolicLinkRefusal(path));
    return false;
  }
  const std::string target = ResolveLink(path);
  struct stat old;
  const bool exists = stat(target.c_str(), &old) == 0;
  if (exists && !IsWritablePlace(target)) {
    SetError(error, std::strerror(EACCES));
    return false;
  }
  const std::string folder = FolderOfFile(target);
  struct stat folderStat;
  if (stat(folder.c_str(), &folderStat) != 0) {
    SetError(error, Reason());
    return false;
  }
  if (!S_ISDIR(folderStat.st_mode)) {
    SetError(error, std::strerror(ENOTDIR));
    return false;
  }
  if (!IsWritablePlace(folder)) {
    SetError(error, std::strerror(EACCES));
    return false;
  }

  RemoveStaleTempFiles(folder);
  std::string temp;
  const int fd = CreateTempFileBeside(target, &temp);
  if (fd < 0) {
    SetError(error, Reason());
    return false;
  }
  bool ok = WriteAllBytes(fd, bytes);
  if (ok && exists) {
    ok = fchmod(fd, old.st_mode & 07777) == 0;
    // Only a privileged writer can keep another user's ownership; failing to is harmless.
    if (ok && fchown(fd, old.st_uid, old.st_gid) != 0) errno = 0;
  }
  if (ok) ok = fsync(fd) == 0;
  std::string reason = ok ? std::string() : Reason();
  if (close(fd) != 0 && ok) {
    ok = false;
    reason = Reason();
  }
  if (ok && rename(temp.c_str(), target.c_str()) != 0) {
    ok = false;
    reason = Reason();
  }
  if (!ok) {
    unlink(temp.c_str());
    SetError(error, reason);
    return false;
  }
  const int dirFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    fsync(dirFd);
    close(dirFd);
  }
  return true;
}

bool ReplaceVolatileFile(const std::string& path, std::string_view bytes, std::string* error) {
  if (IsSymbolicLink(path)) {
    SetError(error, SymbolicLinkRefusal(path));
    return false;
  }
  struct stat old;
  const bool exists = stat(path.c_str(), &old) == 0;
  std::string temp;
  const int fd = CreateTempFileBeside(path, &temp);
  if (fd < 0) {
    SetError(error, Reason());
    return false;
  }
  bool ok = WriteAllBytes(fd, bytes) && (!exists || fchmod(fd, old.st_mode & 07777) == 0);
  std::string reason = ok ? std::string() : Reason();
  if (close(fd) != 0 && ok) {
    ok = false;
    reason = Reason();
  }
  if (ok && rename(temp.c_str(), path.c_str()) != 0) {
    ok = false;
    reason = Reason();
  }
  if (!ok) {
    unlink(temp.c_str());
    SetError(error, reason);
  }
  return ok;
}

bool ReadWholeFile(const std::string& path, std::string* bytes, std::string* error) {
  const int fd = OpenRegularFile(path, error);
  if (fd < 0) return false;
  std::string data;
  struct stat st;
  if (fstat(fd, &st) == 0) data.reserve(static_cast<size_t>(st.st_size));
  char buf[65536];
  for (;;) {
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      SetError(error, Reason());
      close(fd);
      return false;
    }
    if (n == 0) break;
    data.append(buf, static_cast<size_t>(n));
  }
  close(fd);
  *bytes = std::move(data);
  return true;
}

}  // namespace quelvo
