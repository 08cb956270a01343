#include "cli/SerialPortFactory.h"

#include "core/port/PosixSerialPort.h"

namespace quelvo::cli {

std::unique_ptr<OpenTrackingPort> MakeSerialPort() {
  return std::make_unique<OpenTrackingPort>(std::make_unique<PosixSerialPort>());
}

}  // namespace quelvo::cli
