#pragma once
// At exit the program opens each of COM1 to COM30, except the two modem ports,
// exclusively and closes it again at once, ignoring the results.
#include <string>

namespace quelvo {

void ProbePortsAtExit(const std::string& modemPort1, const std::string& modemPort2);

}  // namespace quelvo
