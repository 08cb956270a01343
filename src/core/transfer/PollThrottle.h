// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The engines call TransferHost::Idle between characters, and some of
// their loops poll with nothing to block on. A host counts those calls: more
// than a serial line at 115200 bit/s could ever need within 10 ms means the
// caller spins, and a 1 ms sleep gives the processor back.
#include <chrono>
#include <thread>

namespace quelvo {

class PollThrottle {
 public:
  void Call() {
    const auto now = std::chrono::steady_clock::now();
    if (now - burstStart_ > kBurstWindow) {
      burstStart_ = now;
      burstCalls_ = 0;
    }
    if (++burstCalls_ > kBurstCalls) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      burstStart_ = std::chrono::steady_clock::now();
      burstCalls_ = 0;
    }
  }

 private:
  static constexpr auto kBurstWindow = std::chrono::milliseconds(10);
  static constexpr int kBurstCalls = 200;  // far above what a serial line at 115200 bit/s needs
  std::chrono::steady_clock::time_point burstStart_{};
  int burstCalls_ = 0;
};

}  // namespace quelvo
