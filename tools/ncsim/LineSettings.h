#pragma once

#include <string>

namespace quelvo::ncsim {

// The line settings the other side gave the pseudo-terminal (the master sees
// the slave's termios), as report words: "baud=4800 bits=7 parity=even stop=2".
// Empty when they cannot be read.
std::string LineSettingsText(int masterFd);

}  // namespace quelvo::ncsim
