// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Line speeds that termios has no Bxxx constant for (14400) are set through
// termios2 with BOTHER. Kept in a source file of its own because the kernel's
// termios headers clash with <termios.h>.

namespace quelvo {

// Sets input and output speed of the open tty `fd` to `baud`. Returns 0, or the
// errno of the failing call.
int SetCustomBaudRate(int fd, int baud);
// Reads the output speed back; 0 when it cannot be read.
int ReadCustomBaudRate(int fd);

}  // namespace quelvo
