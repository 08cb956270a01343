// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quelvo {

int OpenRegularFile(const std::string& path, std::string* error) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (error) *error = std::strerror(errno);
    return -1;
  }
  struct stat st {};
  const int statError = ::fstat(fd, &st) == 0 ? 0 : errno;
  if (statError == 0 && S_ISREG(st.st_mode)) return fd;
  ::close(fd);
  if (error) *error = statError != 0 ? std::strerror(statError) : kNotARegularFile;
  return -1;
}

}  // namespace quelvo
