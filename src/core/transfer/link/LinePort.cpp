// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/transfer/link/LinePort.h"

#include "core/common/NetworkPortText.h"

namespace quelvo {

LineConfig ListeningLine(int baud, int dataBits) {
  LineConfig line;
  line.baudRate = baud;
  line.byteSize = dataBits;
  line.parity = false;
  line.stopBits = StopBits::kOne;
  line.dtrControl = LineControl::kEnable;
  line.rtsControl = LineControl::kEnable;
  return line;
}

bool OpenLine(SerialPort& port, const std::string& device, const LineConfig& line, std::string* error) {
  if (!port.Open(device)) {
    *error = device + ": " + PortErrorText(port.LastError());
    return false;
  }
  if (!port.Configure(line) || !port.SetTimeouts(PortTimeouts{100, 2000})) {
    *error = device + ": " + PortErrorText(port.LastError());
    port.Close();
    return false;
  }
  return true;
}

bool IsRawTcpPort(const std::string& device) {
  const auto address = ParseNetworkPortText(device);
  return address && address->kind == NetworkPortKind::kRawTcp;
}

bool ReadBurst(SerialPort& port, std::chrono::milliseconds firstByteWait, std::chrono::milliseconds quiet,
               size_t limit, const std::function<bool()>& keepWaiting, std::vector<uint8_t>* bytes) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  Clock::time_point last = start;
  while (bytes->size() < limit && (!keepWaiting || keepWaiting())) {
    uint8_t b = 0;
    const ReadResult r = port.ReadByte(&b);
    if (r == ReadResult::kError) return false;
    const Clock::time_point now = Clock::now();
    if (r == ReadResult::kByte) {
      bytes->push_back(b);
      last = now;
      continue;
    }
    if (bytes->empty() ? now - start >= firstByteWait : now - last >= quiet) break;
  }
  return true;
}

}  // namespace quelvo
