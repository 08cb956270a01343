// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An in-memory serial port on a virtual clock: incoming bytes are scripted
// (optionally for given virtual times), outgoing bytes are recorded, the modem
// lines are set by the test, the output queue drains at a set rate, and every
// operation can be made to fail.
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "VirtualClock.h"
#include "core/port/SerialPort.h"

namespace quelvo {

class FakeSerialPort : public SerialPort {
 public:
  explicit FakeSerialPort(VirtualClock& clock) : clock_(clock) {}

  // --- SerialPort ---
  bool Open(const std::string& device) override;
  bool IsOpen() const override { return open_; }
  void Close() override { open_ = false; ++closeCount; }
  bool Configure(const LineConfig& config) override;
  bool SetTimeouts(const PortTimeouts& timeouts) override;
  // A byte due by now is returned at once; otherwise the clock advances to the
  // next due byte (returned) or by the read time-out (kTimeout).
  ReadResult ReadByte(uint8_t* byte) override;
  bool Write(const uint8_t* data, size_t size) override;
  bool OutputQueueSize(int* bytes) override;
  bool ModemStatus(uint32_t* bits) override;
  bool Purge() override;
  const PortError& LastError() const override { return error_; }
  bool ErrorCounts(LineErrorCounts* counts) override {
    if (!driverCounts) return false;
    *counts = lineErrors;
    return true;
  }
  void SetOpenWatcher(std::function<bool()> keepWaiting) override { openWatcher_ = std::move(keepWaiting); }

  // --- scripting ---
  // Open waits this many virtual milliseconds (a network port connecting),
  // asking the open watcher every 20 ms, and fails when it says stop.
  int openWaitMs = 0;
  // Bytes that arrive at virtual time `atMs` (now when negative).
  void QueueIncoming(const std::string& bytes, int64_t atMs = -1);
  // Called after every byte written, to script the other side's answers.
  std::function<void(uint8_t)> onWrite;

  // Modem lines; modemReadable false makes ModemStatus fail ("cannot be read").
  bool dsr = true, cts = true, dcd = true, modemReadable = true;
  // The driver's receive error counts; driverCounts false: a driver without them.
  bool driverCounts = false;
  LineErrorCounts lineErrors;
  // Output queue drain in bytes per second; 0 drains at once. While
  // outputHeld (the driver holds output after a pause code) nothing drains.
  int drainBytesPerSecond = 0;
  bool outputHeld = false;

  // Failure switches: an errno value makes the operation fail with it.
  int openErrno = 0;
  bool failConfigure = false, failTimeouts = false, failPurge = false;
  int writeErrno = 0;  // EIO or ENXIO: the port has vanished
  int readErrno = 0;

  // --- what happened ---
  std::string device;
  std::string written;  // every byte written, in order
  std::vector<LineConfig> configs;  // every configuration applied
  PortTimeouts timeouts;
  int purgeCount = 0, closeCount = 0, reads = 0;
  bool nullDiscard() const { return !configs.empty() && configs.back().nullDiscard; }

 private:
  struct Incoming {
    int64_t atMs;
    uint8_t byte;
  };
  void Drain();

  VirtualClock& clock_;
  std::function<bool()> openWatcher_;
  bool open_ = false;
  std::deque<Incoming> incoming_;
  double queued_ = 0;
  int64_t drainedAtMs_ = 0;
  PortError error_;
};

}  // namespace quelvo
