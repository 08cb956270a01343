// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A serial port that hands every call to another one: a test derives from it
// and overrides the calls it watches (reads and writes), the rest go through.
#include "core/port/SerialPort.h"

namespace quelvo::test {

class ForwardingPort : public SerialPort {
 public:
  explicit ForwardingPort(SerialPort& inner) : inner_(inner) {}

  bool Open(const std::string& device) override { return inner_.Open(device); }
  bool IsOpen() const override { return inner_.IsOpen(); }
  void Close() override { inner_.Close(); }
  bool Configure(const LineConfig& config) override { return inner_.Configure(config); }
  bool SetTimeouts(const PortTimeouts& timeouts) override { return inner_.SetTimeouts(timeouts); }
  ReadResult ReadByte(uint8_t* byte) override { return inner_.ReadByte(byte); }
  bool Write(const uint8_t* data, size_t size) override { return inner_.Write(data, size); }
  bool OutputQueueSize(int* bytes) override { return inner_.OutputQueueSize(bytes); }
  bool ModemStatus(uint32_t* bits) override { return inner_.ModemStatus(bits); }
  bool Purge() override { return inner_.Purge(); }
  bool ErrorCounts(LineErrorCounts* counts) override { return inner_.ErrorCounts(counts); }
  const PortError& LastError() const override { return inner_.LastError(); }

 protected:
  SerialPort& inner_;
};

}  // namespace quelvo::test
