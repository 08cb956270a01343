// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/transfer/link/IdleLineWatch.h"

#include <chrono>

namespace quelvo {
namespace {

// The read time-out bounds how long Stop waits for the thread.
constexpr int kReadWaitMs = 50;
constexpr auto kModemPoll = std::chrono::milliseconds(100);

constexpr int kSpeeds[] = {2400, 4800, 9600, 14400, 19200, 4800};

}  // namespace

LineConfig IdleWatchLine(const CommSetting& setting) {
  LineConfig line;
  line.baudRate = kSpeeds[setting.Speed_R >= 0 && setting.Speed_R <= 5 ? setting.Speed_R : 1];
  line.byteSize = setting.Code_R == 1 ? 7 : 8;
  line.parity = false;
  line.stopBits = setting.STbit_R == 0 ? StopBits::kOne : StopBits::kTwo;
  line.dtrControl = LineControl::kEnable;
  line.rtsControl = LineControl::kEnable;
  return line;
}

bool IdleLineWatch::Start(SerialPort& port, const std::string& device, const LineConfig& line,
                          std::string* error) {
  Stop();
  {
    std::lock_guard<std::mutex> lock(failureMutex_);
    failure_.clear();
  }
  if (!port.Open(device)) {
    *error = device + ": " + PortErrorText(port.LastError());
    return false;
  }
  if (!port.Configure(line) || !port.SetTimeouts(PortTimeouts{kReadWaitMs, 2000})) {
    *error = device + ": " + PortErrorText(port.LastError());
    port.Close();
    return false;
  }
  port_ = &port;
  stop_.store(false);
  running_.store(true);
  thread_ = std::thread([this] { Loop(); });
  return true;
}

void IdleLineWatch::Loop() {
  auto lastModem = std::chrono::steady_clock::now() - kModemPoll;
  while (!stop_.load()) {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastModem >= kModemPoll) {
      lastModem = now;
      uint32_t bits = 0;
      port_->ModemStatus(&bits);  // the tap records what it says
    }
    uint8_t byte = 0;
    if (port_->ReadByte(&byte) == ReadResult::kError) {
      std::lock_guard<std::mutex> lock(failureMutex_);
      failure_ = PortErrorText(port_->LastError());
      break;
    }
  }
  running_.store(false);
}

void IdleLineWatch::Stop() {
  if (!thread_.joinable()) return;
  stop_.store(true);
  thread_.join();
  port_->Close();
  port_ = nullptr;
  running_.store(false);
}

std::string IdleLineWatch::Failure() const {
  std::lock_guard<std::mutex> lock(failureMutex_);
  return failure_;
}

}  // namespace quelvo
