// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/transfer/receive/ReceiveTargetFile.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/common/AtomicFile.h"
#include "core/common/UniqueFile.h"

namespace quelvo {
namespace {

bool Fail(std::string* error) {
  if (error) *error = std::strerror(errno);
  return false;
}

// Closes `fd`, keeping the errno of an earlier failure.
bool CloseAfter(int fd, bool ok) {
  if (!ok) {
    const int saved = errno;
    close(fd);
    errno = saved;
    return false;
  }
  return close(fd) == 0;
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

// Renames `from` to `to` unless `to` exists. Where the file system cannot
// refuse an existing name in the rename itself, a hard link does it.
bool RenameNoReplace(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  if (link(from.c_str(), to.c_str()) != 0) return false;
  unlink(from.c_str());
  return true;
}

// Renames an existing `path` to the first free "<path>.bak", "<path>.bak2", ...
bool BackUpExisting(const std::string& path, std::string* backup) {
  backup->clear();
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return errno == ENOENT;
  if (S_ISDIR(st.st_mode)) {
    errno = EISDIR;  // a folder of that name is no file to replace
    return false;
  }
  for (int n = 1; n < 1000; ++n) {
    const std::string candidate = path + ".bak" + (n == 1 ? std::string() : std::to_string(n));
    if (RenameNoReplace(path, candidate)) {
      *backup = candidate;
      return true;
    }
    if (errno != EEXIST) return false;
  }
  errno = EEXIST;
  return false;
}

// Copies `from` into a new file beside `to`, then renames it over `to`.
bool CopyOver(const std::string& from, const std::string& to) {
  const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  std::string temp;
  const int out = CreateTempFileBeside(to, &temp);
  if (out < 0) return CloseAfter(in, false);
  bool ok = true;
  char chunk[65536];
  for (;;) {
    const ssize_t n = read(in, chunk, sizeof chunk);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    if (!WriteAllBytes(out, std::string_view(chunk, static_cast<size_t>(n)))) {
      ok = false;
      break;
    }
  }
  ok = CloseAfter(out, ok);
  CloseAfter(in, true);
  if (ok && rename(temp.c_str(), to.c_str()) == 0) return true;
  const int saved = errno;
  unlink(temp.c_str());
  errno = saved;
  return false;
}

}  // namespace

ReceiveTargetFile::~ReceiveTargetFile() { Close(); }

bool ReceiveTargetFile::Create(const std::string& target, std::string* error) {
  Close();
  target_ = target;
  inPlace_ = false;
  if (IsSymbolicLink(target)) {
    if (error) *error = SymbolicLinkRefusal(target);
    return false;
  }
  fd_ = CreateTempFileBeside(target, &temp_);
  if (fd_ < 0) return Fail(error);
  // The received program keeps the permissions of the file it replaces.
  struct stat old;
  if (stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) fchmod(fd_, old.st_mode & 07777);
  return true;
}

bool ReceiveTargetFile::PutInPlace(std::string* error) {
  if (inPlace_) return true;
  if (fd_ < 0) {
    errno = EBADF;
    return Fail(error);
  }
  if (rename(temp_.c_str(), target_.c_str()) != 0) return Fail(error);
  inPlace_ = true;
  return true;
}

bool ReceiveTargetFile::Append(const std::vector<std::string>& lines, std::string* error) {
  if (!PutInPlace(error)) return false;
  // A file removed since the reception started is reported rather than
  // written into the void.
  struct stat st;
  if (fstat(fd_, &st) != 0) return Fail(error);
  if (st.st_nlink == 0) {
    errno = ENOENT;
    return Fail(error);
  }
  std::string bytes;
  size_t size = 0;
  for (const std::string& line : lines) size += line.size() + 2;
  bytes.reserve(size);
  for (const std::string& line : lines) {
    bytes += line;
    bytes += "\r\n";
  }
  if (!WriteAllBytes(fd_, bytes)) return Fail(error);
  return true;
}

void ReceiveTargetFile::Close() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  if (!inPlace_ && !temp_.empty()) unlink(temp_.c_str());
  temp_.clear();
}

void ReceiveTargetFile::Discard() {
  Close();
  if (inPlace_) unlink(target_.c_str());
  inPlace_ = false;
}

bool MoveReceivedFile(const std::string& from, const std::string& to, std::string* backup,
                      std::string* error) {
  backup->clear();
  if (SameFile(from, to)) return true;
  if (!BackUpExisting(to, backup)) return Fail(error);
  if (rename(from.c_str(), to.c_str()) == 0) return true;
  if (errno == EXDEV && CopyOver(from, to)) {
    // Another file system: copied, then the original removed.
    unlink(from.c_str());
    return true;
  }
  const int saved = errno;
  // Nothing the user had may be lost: the backup goes back to its name.
  if (!backup->empty() && rename(backup->c_str(), to.c_str()) == 0) backup->clear();
  errno = saved;
  return Fail(error);
}

}  // namespace quelvo
