// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/port/AnySerialPort.h"

#include "core/common/NetworkPortText.h"

namespace quelvo {

bool AnySerialPort::Open(const std::string& device) {
  SerialPort* next = HasNetworkPortScheme(device) ? static_cast<SerialPort*>(&network_) : &local_;
  if (next != active_) active_->Close();
  active_ = next;
  return active_->Open(device);
}

}  // namespace quelvo
