#include "serial/PortProbe.h"

namespace quelvo {

// Not done yet: needs the port name resolution and exclusive opening of the serial port work.
void ProbePortsAtExit(const std::string& /*modemPort1*/, const std::string& /*modemPort2*/) {}

}  // namespace quelvo
