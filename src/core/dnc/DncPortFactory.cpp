#include "core/dnc/DncPortFactory.h"

#include "core/port/PosixSerialPort.h"

namespace quelvo {

std::unique_ptr<SerialPort> MakeDncSerialPort() { return std::make_unique<PosixSerialPort>(); }

}  // namespace quelvo
