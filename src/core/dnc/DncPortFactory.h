// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one place the shop service makes its serial ports: local devices and
// network ports (tcp://, rfc2217://) alike.
#include <memory>

#include "core/port/SerialPort.h"

namespace quelvo {

std::unique_ptr<SerialPort> MakeDncSerialPort();

}  // namespace quelvo
