// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/SerialPortFactory.h"

#include "core/port/AnySerialPort.h"

namespace quelvo::cli {

std::unique_ptr<OpenTrackingPort> MakeSerialPort() {
  return std::make_unique<OpenTrackingPort>(std::make_unique<AnySerialPort>());
}

}  // namespace quelvo::cli
