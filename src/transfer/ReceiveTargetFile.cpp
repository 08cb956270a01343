#include "transfer/ReceiveTargetFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "transfer/ReceiveFileName.h"

namespace quelvo {
namespace {

bool Fail(std::string* error) {
  if (error) *error = std::strerror(errno);
  return false;
}

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
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

// Copies `from` into a new file beside `to`, then renames it over `to`.
bool CopyOver(const std::string& from, const std::string& to) {
  const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  const std::string temp = JoinFolderAndName(FolderOfPath(to), ".quelvo-receive-" + std::to_string(getpid()));
  const int out = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
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
    if (!WriteAll(out, chunk, static_cast<size_t>(n))) {
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

bool CreateEmptyFile(const std::string& path, std::string* error) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return Fail(error);
  if (close(fd) != 0) return Fail(error);
  return true;
}

bool AppendLinesToFile(const std::string& path, const std::vector<std::string>& lines,
                       std::string* error) {
  std::string bytes;
  size_t size = 0;
  for (const std::string& line : lines) size += line.size() + 2;
  bytes.reserve(size);
  for (const std::string& line : lines) {
    bytes += line;
    bytes += "\r\n";
  }
  // The file was created when the reception started; one that has vanished
  // since is reported rather than silently started anew.
  const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd < 0) return Fail(error);
  if (!CloseAfter(fd, WriteAll(fd, bytes.data(), bytes.size()))) return Fail(error);
  return true;
}

bool MoveReceivedFile(const std::string& from, const std::string& to, std::string* error) {
  if (SameFile(from, to)) return true;
  if (rename(from.c_str(), to.c_str()) == 0) return true;
  if (errno != EXDEV) return Fail(error);
  // Another file system: copy, then remove the original.
  if (!CopyOver(from, to)) return Fail(error);
  unlink(from.c_str());
  return true;
}

}  // namespace quelvo
