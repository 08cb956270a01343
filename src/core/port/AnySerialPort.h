// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The port the program opens: at Open it takes the device text and goes to a
// serial line behind a device server for "tcp://HOST:PORT" and
// "rfc2217://HOST:PORT" (SocketSerialPort), to a local device for anything
// else (PosixSerialPort). Every other call goes to the port last opened.
#include <string>

#include "core/port/PortHolders.h"
#include "core/port/PosixSerialPort.h"
#include "core/port/SocketSerialPort.h"

namespace quelvo {

class AnySerialPort : public SerialPort {
 public:
  // lockFolder: where the UUCP lock files of local ports live.
  explicit AnySerialPort(std::string lockFolder = kUucpLockFolder,
                         SocketPortLimits limits = SocketPortLimits())
      : local_(std::move(lockFolder)), network_(limits) {}

  bool Open(const std::string& device) override;
  bool IsOpen() const override { return active_->IsOpen(); }
  void Close() override { active_->Close(); }

  bool Configure(const LineConfig& config) override { return active_->Configure(config); }
  bool SetTimeouts(const PortTimeouts& timeouts) override { return active_->SetTimeouts(timeouts); }
  ReadResult ReadByte(uint8_t* byte) override { return active_->ReadByte(byte); }
  bool Write(const uint8_t* data, size_t size) override { return active_->Write(data, size); }
  bool OutputQueueSize(int* bytes) override { return active_->OutputQueueSize(bytes); }
  bool ModemStatus(uint32_t* bits) override { return active_->ModemStatus(bits); }
  bool Purge() override { return active_->Purge(); }
  bool ErrorCounts(LineErrorCounts* counts) override { return active_->ErrorCounts(counts); }
  const PortError& LastError() const override { return active_->LastError(); }
  void SetOpenWatcher(std::function<bool()> keepWaiting) override {
    network_.SetOpenWatcher(std::move(keepWaiting));
  }

  // True while the port last opened is a network port.
  bool IsNetwork() const { return active_ == &network_; }

 private:
  PosixSerialPort local_;
  SocketSerialPort network_;
  SerialPort* active_ = &local_;
};

}  // namespace quelvo
