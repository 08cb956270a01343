// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/dnc/DncPortFactory.h"

#include "core/port/AnySerialPort.h"

namespace quelvo {

std::unique_ptr<SerialPort> MakeDncSerialPort() { return std::make_unique<AnySerialPort>(); }

}  // namespace quelvo
