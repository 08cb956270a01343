// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/port/PosixCustomBaud.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <cerrno>

// <sys/ioctl.h> would pull in the libc termios types, so declare ioctl alone.
extern "C" int ioctl(int fd, unsigned long request, ...);

namespace quelvo {

int SetCustomBaudRate(int fd, int baud) {
  struct termios2 t;
  if (ioctl(fd, TCGETS2, &t) != 0) return errno;
  t.c_cflag &= ~CBAUD;
  t.c_cflag |= BOTHER;
  t.c_ispeed = static_cast<speed_t>(baud);
  t.c_ospeed = static_cast<speed_t>(baud);
  t.c_cflag &= ~(CBAUD << IBSHIFT);
  t.c_cflag |= BOTHER << IBSHIFT;
  if (ioctl(fd, TCSETS2, &t) != 0) return errno;
  return 0;
}

int ReadCustomBaudRate(int fd) {
  struct termios2 t;
  if (ioctl(fd, TCGETS2, &t) != 0) return 0;
  return static_cast<int>(t.c_ospeed);
}

}  // namespace quelvo
