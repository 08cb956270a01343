// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The port prober of the running program: "COMn" through the port-name
// resolution of the serial link (a [Ports] entry of the program settings file
// or /dev/ttyS(n-1)), a /dev/ttyS device counting only when a UART stands
// behind it, then the USB and ACM adapters present under /dev, then their
// stable names under /dev/serial/by-id.
#include <string>

#include "core/settings/PortList.h"

namespace quelvo {

// `programIniPath` is the program settings file (may not exist).
PortProber SystemPortProber(const std::string& programIniPath);

// The /dev/ttyUSB* and /dev/ttyACM* device paths under `devFolder`, sorted
// (USB before ACM, then by number).
std::vector<std::string> AdapterDevicePaths(const std::string& devFolder);

// The names under `byIdFolder` (/dev/serial/by-id) that lead to a character
// device, sorted.
std::vector<std::string> SerialByIdPaths(const std::string& byIdFolder);

}  // namespace quelvo
