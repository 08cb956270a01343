// SPDX-License-Identifier: GPL-3.0-or-later
#include "LineSpeed.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>

// <sys/ioctl.h> would pull in the libc termios types, so declare ioctl alone.
extern "C" int ioctl(int fd, unsigned long request, ...);

namespace quelvo::ncsim {

long ReadLineSpeed(int masterFd) {
    struct termios2 t;
    if (ioctl(masterFd, TCGETS2, &t) != 0) return 0;
    return static_cast<long>(t.c_ospeed);
}

}  // namespace quelvo::ncsim
