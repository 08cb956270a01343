// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "UartSampling.h"

namespace quelvo::ncsim {

// The line settings the other side gave the pseudo-terminal (the master sees
// the slave's termios), as report words: "baud=4800 bits=7 parity=even stop=2".
// Empty when they cannot be read.
std::string LineSettingsText(int masterFd);

// The same settings as a character format; false when they cannot be read or
// the speed is one termios does not name.
bool OpenerFormat(int masterFd, UartFormat& format);

}  // namespace quelvo::ncsim
