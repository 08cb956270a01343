// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The serial port on Linux termios. A device another program holds is not
// opened: a live UUCP lock file or another process with the device open
// (PortHolders) fails with kInUse, and the port keeps a lock file of its own
// while open. The device is opened non-blocking, made exclusive (TIOCEXCL and
// a non-blocking flock, so later openers fail too), then switched to blocking
// I/O. Read time-outs are poll() waits
// against a monotonic deadline; received NUL bytes are dropped in the reader
// when the line state asks for it (fNull).
//
// To keep system calls off the per-byte path, the reader takes everything the
// driver holds in one read() and serves bytes from its own buffer, a write is
// tried before any poll(), and a port found to have no modem lines is not
// asked again until it is reopened.
#include <array>
#include <chrono>
#include <cstddef>
#include <string>
#include <utility>

#include "core/port/PortHolders.h"
#include "core/port/SerialPort.h"
#include "core/port/UniqueFd.h"

namespace quelvo {

class PosixSerialPort : public SerialPort {
 public:
  // lockFolder: where the UUCP lock files live.
  explicit PosixSerialPort(std::string lockFolder = kUucpLockFolder) : lockFolder_(std::move(lockFolder)) {}
  ~PosixSerialPort() override { Close(); }

  bool Open(const std::string& device) override;
  bool IsOpen() const override { return fd_.Valid(); }
  void Close() override;

  bool Configure(const LineConfig& config) override;
  bool SetTimeouts(const PortTimeouts& timeouts) override;

  ReadResult ReadByte(uint8_t* byte) override;
  bool Write(const uint8_t* data, size_t size) override;

  bool OutputQueueSize(int* bytes) override;
  bool ModemStatus(uint32_t* bits) override;
  bool Purge() override;
  bool ErrorCounts(LineErrorCounts* counts) override;

  const PortError& LastError() const override { return error_; }

  int NativeHandle() const { return fd_.Get(); }

 private:
  bool Fail(const PortError& error);
  bool FailNotOpen();
  void SetModemLines(const LineConfig& config);
  // Waits until the descriptor is ready for `events`; 0 ready, 1 time-out,
  // -1 failure (error_ set). timeoutMs < 0 waits without limit.
  int WaitReady(short events, int timeoutMs);
  // Fills the read buffer from the driver, waiting until `deadline`;
  // returns kByte when bytes were read.
  ReadResult FillReadBuffer(std::chrono::steady_clock::time_point deadline);
  void ResetPortState();
  bool OpenDevice(const std::string& device);

  // Bytes read from the driver but not yet handed out: [readPos_, readEnd_).
  std::array<uint8_t, 4096> readBuffer_{};
  size_t readPos_ = 0;
  size_t readEnd_ = 0;
  // The driver's counts when the port was opened, when it keeps any.
  bool countsAtOpenValid_ = false;
  LineErrorCounts countsAtOpen_;
  // errno of a TIOCMGET that showed the port has no modem lines; 0 until then.
  int modemLinesMissing_ = 0;

  std::string lockFolder_;
  UucpLock lock_;
  UniqueFd fd_;
  PortTimeouts timeouts_;
  bool dropNul_ = false;
  PortError error_;
};

}  // namespace quelvo
