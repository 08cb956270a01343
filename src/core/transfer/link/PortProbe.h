// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// At exit the program opens each of COM1 to COM30, except the two modem ports,
// exclusively and closes it again at once, ignoring the results. The
// environment variable QUELVO_NO_PORT_PROBE (any non-empty value) skips it, so
// that window tests never touch the machine's serial ports.
#include <string>

namespace quelvo {

void ProbePortsAtExit(const std::string& modemPort1, const std::string& modemPort2);

}  // namespace quelvo
