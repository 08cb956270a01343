// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A port wrapper for sends paced by a control: what the sender writes between
// two looks at the line, and whether it writes while the control holds it
// (between a pause code 0x93 it has read and the next DC1).
#include <algorithm>

#include "support/ForwardingPort.h"

namespace quelvo::test {

class HandshakeWatch : public ForwardingPort {
 public:
  using ForwardingPort::ForwardingPort;

  long pausesRead = 0;
  long writtenWhilePaused = 0;
  long mostWrittenBetweenReads = 0;

  ReadResult ReadByte(uint8_t* byte) override {
    mostWrittenBetweenReads = std::max(mostWrittenBetweenReads, sinceRead_);
    sinceRead_ = 0;
    const ReadResult result = inner_.ReadByte(byte);
    if (result == ReadResult::kByte && *byte == 0x93) {
      paused_ = true;
      ++pausesRead;
    } else if (result == ReadResult::kByte && *byte == 0x11) {
      paused_ = false;
    }
    return result;
  }
  bool Write(const uint8_t* data, size_t size) override {
    sinceRead_ += static_cast<long>(size);
    if (paused_) writtenWhilePaused += static_cast<long>(size);
    return inner_.Write(data, size);
  }

 private:
  long sinceRead_ = 0;
  bool paused_ = false;
};

}  // namespace quelvo::test
