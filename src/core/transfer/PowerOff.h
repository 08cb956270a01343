// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Switching the PC off after a transfer started with the close-after-transfer
// request. The environment variable QUELVO_POWEROFF names a command to run
// instead of the system's power-off (tests always set it). Without it the
// desktop's power-off (logind over D-Bus) is the window side's work: it passes
// it in as a callback.
#include <functional>
#include <string>

namespace quelvo {

// Asks the system to switch off: true when it will. `systemPowerOff` is called
// only when QUELVO_POWEROFF is not set; an empty callback means "cannot".
bool PowerOff(const std::function<bool()>& systemPowerOff);

// Runs `command` through /bin/sh and waits for it: true when it exits with 0.
bool RunPowerOffCommand(const std::string& command);

}  // namespace quelvo
