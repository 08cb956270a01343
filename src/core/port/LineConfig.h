// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The line state record: speed, character format and flow control of a serial
// line, in the terms of the device control block the transfer code is written
// for. A port maps it onto its own driver (see PosixSerialPort).
#include <cstdint>

namespace quelvo {

enum class StopBits { kOne, kOneAndHalf, kTwo };

// How the port drives DTR or RTS.
enum class LineControl {
  kDisable,    // held off
  kEnable,     // held on
  kHandshake,  // driven by the driver's flow control
};

struct LineConfig {
  int baudRate = 9600;
  int byteSize = 8;  // 7 or 8
  bool parity = false;  // the line always runs without hardware parity
  StopBits stopBits = StopBits::kOne;

  bool outX = false;  // act on XON/XOFF received while sending (IXON)
  bool inX = false;   // send XON/XOFF when the input buffer fills (IXOFF)
  uint8_t xonChar = 0x11;   // 0 disables
  uint8_t xoffChar = 0x13;  // 0 disables
  int xonLim = 0;   // kept and logged; the Linux driver uses its own thresholds
  int xoffLim = 0;
  bool txContinueOnXoff = false;

  bool outxCtsFlow = false;  // RTS/CTS hardware handshake
  bool outxDsrFlow = false;
  LineControl dtrControl = LineControl::kEnable;
  LineControl rtsControl = LineControl::kEnable;

  bool nullDiscard = false;  // fNull: received NUL bytes are dropped
  bool abortOnError = false;
};

// Driver time-outs in milliseconds; 0 for a write means no time-out.
struct PortTimeouts {
  int readMs = 1000;
  int writeMs = 0;
};

// Bits of the modem status word.
constexpr uint32_t kModemCts = 0x10;
constexpr uint32_t kModemDsr = 0x20;
constexpr uint32_t kModemRing = 0x40;
constexpr uint32_t kModemDcd = 0x80;

}  // namespace quelvo
