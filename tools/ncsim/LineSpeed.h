// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quelvo::ncsim {

// The output speed the opener gave the pseudo-terminal in bit/s, speeds that
// termios has no constant for (14400) included; 0 when it cannot be read.
long ReadLineSpeed(int masterFd);

}  // namespace quelvo::ncsim
