// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Opening a line for the line tools (detect, monitor, test-line, the settings
// dialog's detection): the port of
// a setting or --port, with a plain line state (no flow control, DTR and RTS
// on), and reading what arrives in bursts.
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/port/SerialPort.h"

namespace quelvo {

// A line state for listening: `baud`, `dataBits`, no parity, one stop bit, no
// flow control, DTR and RTS held on.
LineConfig ListeningLine(int baud, int dataBits);

// Opens and configures `port`; false with the reason in *error.
bool OpenLine(SerialPort& port, const std::string& device, const LineConfig& line, std::string* error);

// True for a raw TCP port ("tcp://"): its speed and format are set on the
// device server, not from here.
bool IsRawTcpPort(const std::string& device);

// Reads one burst: waits up to `firstByteWait` for the first byte, then takes
// bytes until `quiet` passes without one (or `limit` bytes). `keepWaiting` is
// asked between reads; false ends the wait. False on a read error.
bool ReadBurst(SerialPort& port, std::chrono::milliseconds firstByteWait, std::chrono::milliseconds quiet,
               size_t limit, const std::function<bool()>& keepWaiting, std::vector<uint8_t>* bytes);

}  // namespace quelvo
