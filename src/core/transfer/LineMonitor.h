// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A line monitor's record: what passes on a serial line in both directions,
// with time stamps, characters shown in the tape code in use, control
// characters named (<DC1>, <DC3>, <LF> ...) and bytes with a wrong parity
// marked, and the modem lines whenever they change. It only reads what it is
// given, so whatever feeds it (a port of its own, or a tap beside a transfer)
// changes no byte of the line. Each finished text line goes to the sink: a
// terminal, a file, a window.
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "core/transfer/TapeCode.h"

namespace quelvo {

enum class MonitorDirection { kFromControl, kToControl };

// How one byte reads in `code`: the character, a name in angle brackets for a
// control character, or <XX> in hex for a byte the code has no character for.
// *parityError: the byte breaks the code's parity (ISO even, EIA odd).
std::string MonitorByteText(TapeCode code, std::uint8_t b, bool* parityError);

// "NC→PC" or "PC→NC".
const char* MonitorDirectionText(MonitorDirection direction);

class LineMonitor {
 public:
  using Clock = std::chrono::system_clock;
  using Sink = std::function<void(const std::string& line)>;

  // `code` Undecided: ISO or EIA is decided from the parity of the first
  // character received, as a reception decides it.
  LineMonitor(TapeCode code, Sink sink);

  void Bytes(MonitorDirection direction, Clock::time_point at, const std::uint8_t* data, std::size_t size);
  // The modem status (kModemCts, kModemDsr, kModemDcd, kModemRing bits); a
  // line only when it differs from the last. `readable` false: the port
  // cannot read them (said once).
  void ModemLines(Clock::time_point at, bool readable, std::uint32_t bits);
  // A remark of the monitor itself (port opened, settings), on its own line.
  void Note(Clock::time_point at, const std::string& text);
  // Ends the text line being built.
  void Flush();

  long ByteCount(MonitorDirection direction) const;
  long ParityErrors() const { return parityErrors_; }
  TapeCode Code() const { return code_; }
  // The code of a transfer about to run (Undecided: decided from the
  // control's first character, as a reception decides it).
  void SetCode(TapeCode code) { code_ = code; }

 private:
  void Emit(const std::string& line);

  TapeCode code_;
  Sink sink_;
  std::string pending_;  // the text line being built
  int pendingChars_ = 0;
  bool hasPending_ = false;
  MonitorDirection pendingDirection_ = MonitorDirection::kFromControl;
  Clock::time_point lastByte_{};
  long counts_[2] = {0, 0};
  long parityErrors_ = 0;
  bool modemKnown_ = false;
  bool modemReadable_ = true;
  std::uint32_t modemBits_ = 0;
};

// "HH:MM:SS.mmm" in local time.
std::string MonitorTimeText(LineMonitor::Clock::time_point at);

}  // namespace quelvo
