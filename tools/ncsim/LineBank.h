// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <csignal>
#include <string>
#include <vector>

namespace quelvo::ncsim {

// Many simulated controls in one process (--lines FILE): one NcMachine per
// line of the file, each on its own pseudo-terminal, all served by one poll
// loop, so that a shop of hundreds of machines costs one process and little
// processor time. A control is looked at when its descriptor is ready or its
// own wait is over, and at most every kTickMs otherwise; its line clocks let
// that much line time pass at once, so every line keeps its speed.
//
// args: the whole command line (its --lines FILE is left out of each
// control's options). Returns the exit code: 0, 1 when a control failed,
// 2 for a bad file.
int RunLineBank(const std::vector<std::string>& args, const volatile std::sig_atomic_t& stop);

// The option words of each control: the shared words, then the line's own.
// False with the reason for a file that cannot be read or names no control.
bool ReadLineBankFile(const std::string& path, const std::vector<std::string>& shared,
                      std::vector<std::vector<std::string>>& lines, std::string& error);

}  // namespace quelvo::ncsim
