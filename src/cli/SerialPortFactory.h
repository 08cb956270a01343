// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one place where quelvo-cli makes its serial port, and a port that
// remembers whether its last opening or line set-up failed (exit status 3).
#include <memory>

#include "core/port/SerialPort.h"

namespace quelvo::cli {

class OpenTrackingPort : public SerialPort {
 public:
  explicit OpenTrackingPort(std::unique_ptr<SerialPort> port) : port_(std::move(port)) {}

  // The last Open failed, or the line settings could not be applied after it
  // (a network port's server that never confirms them fails as one that never
  // negotiates); OpenError() says why.
  bool OpenFailed() const { return openFailed_; }
  const PortError& OpenError() const { return openError_; }
  // The port opened but took no line settings (the engine's message does not
  // say why).
  bool SetupFailed() const { return setupFailed_; }

  bool Open(const std::string& device) override {
    openFailed_ = !port_->Open(device);
    setupFailed_ = false;
    openError_ = openFailed_ ? port_->LastError() : PortError();
    return !openFailed_;
  }
  bool IsOpen() const override { return port_->IsOpen(); }
  void Close() override { port_->Close(); }
  bool Configure(const LineConfig& config) override {
    if (port_->Configure(config)) return true;
    openFailed_ = setupFailed_ = true;
    openError_ = port_->LastError();
    return false;
  }
  bool SetTimeouts(const PortTimeouts& timeouts) override { return port_->SetTimeouts(timeouts); }
  ReadResult ReadByte(uint8_t* byte) override { return port_->ReadByte(byte); }
  bool Write(const uint8_t* data, size_t size) override { return port_->Write(data, size); }
  bool OutputQueueSize(int* bytes) override { return port_->OutputQueueSize(bytes); }
  bool ModemStatus(uint32_t* bits) override { return port_->ModemStatus(bits); }
  bool Purge() override { return port_->Purge(); }
  const PortError& LastError() const override { return port_->LastError(); }
  // A network port's connect then hears Ctrl+C as the window's connect hears Esc.
  void SetOpenWatcher(std::function<bool()> keepWaiting) override {
    port_->SetOpenWatcher(std::move(keepWaiting));
  }

 private:
  std::unique_ptr<SerialPort> port_;
  bool openFailed_ = false;
  bool setupFailed_ = false;
  PortError openError_;
};

// The serial port of a transfer.
std::unique_ptr<OpenTrackingPort> MakeSerialPort();

}  // namespace quelvo::cli
