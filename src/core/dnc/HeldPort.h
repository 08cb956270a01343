// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The line a worker keeps open while it listens for its control. The engines
// open, purge and close a port for every transfer; here opening and closing
// are only the engines' view: the device stays open between transfers, and
// nothing the control already sent is purged. The byte that told the worker
// what the control wants (its first punched character, or the DC1 inviting a
// send) is given back so that the engine reads it first.
#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "core/port/SerialPort.h"

namespace quelvo {

class HeldPort : public SerialPort {
 public:
  explicit HeldPort(std::unique_ptr<SerialPort> device) : device_(std::move(device)) {}

  // The real opening and closing of the device.
  bool OpenDevice(const std::string& path) { return device_->Open(path); }
  void CloseDevice() {
    pushedBack_.clear();
    device_->Close();
  }
  // The next ReadByte returns `byte` before anything from the line.
  void PushBack(uint8_t byte) { pushedBack_.push_back(byte); }

  // An engine's opening finds the device open (or fails as it would).
  bool Open(const std::string&) override { return device_->IsOpen(); }
  bool IsOpen() const override { return device_->IsOpen(); }
  void Close() override {}
  bool Configure(const LineConfig& config) override { return device_->Configure(config); }
  bool SetTimeouts(const PortTimeouts& timeouts) override { return device_->SetTimeouts(timeouts); }
  ReadResult ReadByte(uint8_t* byte) override {
    if (!pushedBack_.empty()) {
      *byte = pushedBack_.front();
      pushedBack_.pop_front();
      return ReadResult::kByte;
    }
    return device_->ReadByte(byte);
  }
  bool Write(const uint8_t* data, size_t size) override { return device_->Write(data, size); }
  bool OutputQueueSize(int* bytes) override { return device_->OutputQueueSize(bytes); }
  bool ModemStatus(uint32_t* bits) override { return device_->ModemStatus(bits); }
  bool Purge() override { return device_->IsOpen(); }
  const PortError& LastError() const override { return device_->LastError(); }

 private:
  std::unique_ptr<SerialPort> device_;
  std::deque<uint8_t> pushedBack_;
};

}  // namespace quelvo
