// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Watching a line while no transfer runs: a thread reads what arrives and the
// modem lines through the link's own port (so the monitor's tap sees them as it
// sees a transfer's), and lets go of the port before a transfer takes it. The
// program thus never holds the port twice: the watch and a transfer use the
// one port object, one after the other.
#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "core/port/LineConfig.h"
#include "core/port/SerialPort.h"
#include "core/settings/CommSetting.h"

namespace quelvo {

// The line state to watch the receive side of `setting` with: its speed (the
// tape device's "機器" as 4800) and stop bits, 8 data bits without parity (7
// for ASCII), no flow control, DTR and RTS on, so that every character the
// control sends is seen with its parity bit.
LineConfig IdleWatchLine(const CommSetting& setting);

class IdleLineWatch {
 public:
  IdleLineWatch() = default;
  IdleLineWatch(const IdleLineWatch&) = delete;
  IdleLineWatch& operator=(const IdleLineWatch&) = delete;
  ~IdleLineWatch() { Stop(); }

  // Opens `device` on `port` with `line` and starts reading; false with the
  // reason in *error (nothing left open). `port` must outlive the watch and
  // be used by nobody else until Stop.
  bool Start(SerialPort& port, const std::string& device, const LineConfig& line, std::string* error);
  // Ends the reading and closes the port; returns at once when not watching.
  void Stop();
  // Reading (false after Stop or when the port failed).
  bool Watching() const { return running_.load(); }
  // Why the watch ended by itself ("" when it did not).
  std::string Failure() const;

 private:
  void Loop();

  SerialPort* port_ = nullptr;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> running_{false};
  mutable std::mutex failureMutex_;
  std::string failure_;
};

}  // namespace quelvo
