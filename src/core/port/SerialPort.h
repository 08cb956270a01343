// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One serial port as the transfer code sees it. PosixSerialPort is the real one;
// tests use an in-memory port (tests/support/FakeSerialPort.h).
//
// Error convention of the port layer: every failing call returns false (or
// ReadResult::kError) and leaves the reason in LastError(); nothing throws.
// All calls run on the caller's thread and return within the time-outs given
// to SetTimeouts (a write with time-out 0 may block while the driver's output
// buffer is full).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "core/port/LineConfig.h"
#include "core/port/LineErrorCounts.h"
#include "core/port/PortError.h"

namespace quelvo {

enum class ReadResult {
  kByte,     // one byte was read
  kTimeout,  // nothing arrived within the read time-out
  kError,    // the read failed (LastError() says why, kVanished for a lost device)
};

class SerialPort {
 public:
  virtual ~SerialPort() = default;

  // Opens the device (a path such as /dev/ttyS0) exclusively. A port that is
  // already open is closed first.
  virtual bool Open(const std::string& device) = 0;
  virtual bool IsOpen() const = 0;
  virtual void Close() = 0;

  // Applies the whole line state record at once.
  virtual bool Configure(const LineConfig& config) = 0;
  virtual bool SetTimeouts(const PortTimeouts& timeouts) = 0;

  // Reads one byte, waiting at most the read time-out.
  virtual ReadResult ReadByte(uint8_t* byte) = 0;
  // Writes all bytes (or fails).
  virtual bool Write(const uint8_t* data, size_t size) = 0;

  // Bytes still waiting in the driver's output queue.
  virtual bool OutputQueueSize(int* bytes) = 0;
  // Modem status bits (kModemCts, kModemDsr, kModemDcd); false when the status
  // cannot be read (pseudo-terminals, some adapters).
  virtual bool ModemStatus(uint32_t* bits) = 0;
  // Discards everything in both directions.
  virtual bool Purge() = 0;

  virtual const PortError& LastError() const = 0;

  // The driver's receive error counts since Open; false when the port or its
  // driver keeps none (pseudo-terminals, network ports, many USB adapters).
  virtual bool ErrorCounts(LineErrorCounts* counts) {
    (void)counts;
    return false;
  }

  // A port whose Open can take long (a network port connecting and
  // negotiating) calls `keepWaiting` every few tens of milliseconds while it
  // waits, and gives up the open when it returns false. A local port opens at
  // once and never calls it.
  virtual void SetOpenWatcher(std::function<bool()> keepWaiting) { (void)keepWaiting; }
};

}  // namespace quelvo
