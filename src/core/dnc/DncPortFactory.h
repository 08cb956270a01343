#pragma once
// The one place the shop service makes its serial ports.
#include <memory>

#include "core/port/SerialPort.h"

namespace quelvo {

std::unique_ptr<SerialPort> MakeDncSerialPort();

}  // namespace quelvo
