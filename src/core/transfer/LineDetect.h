// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Finding the line settings of an NC control from the tape it punches. The
// program listens with 8 data bits, no parity and 1 stop bit: at the right
// speed that reads every character format a control uses (ISO: 7 bits with
// even parity in bit 8; EIA: 8 bits, odd parity in channel 5; ASCII: 7 bits
// whose stop bit reads as bit 8, or 8 bits with bit 8 clear), and a receiver
// checks only the first stop bit, so the stop size never shows in the bytes.
// At a wrong speed the bytes are garbled; a receiver faster than the control
// sees each of the control's bits several times over, which tells the slower
// speed to try next. One punch is heard at one speed: the user punches again
// until the detector is done.
#include <cstdint>
#include <string>
#include <vector>

#include "core/transfer/TapeCode.h"

namespace quelvo {

// How the bytes heard at one speed fit one reading.
struct CodeFit {
  TapeCode code = TapeCode::Undecided;
  bool asciiStopAsBit8 = false;  // ASCII with 7 data bits: bit 8 always set
  double share = 0;              // share of significant bytes that fit
};

// What one punch heard at `speed` says by itself.
struct PunchReading {
  int significant = 0;            // bytes other than NUL (tape feed)
  std::vector<TapeCode> codes;    // every code the bytes fit cleanly
  bool asciiStopAsBit8 = false;
  double bestShare = 0;           // how well the best code fits (0..1)
  double ascii7Share = 0;         // share read as 7-bit ASCII (bit 8 the stop bit)
  int slowerSpeed = 0;            // a slower speed the garble points to, 0 none
};

// Reads the bytes of one punch heard at `speed` with `dataBits` (8 or 7), no
// parity, 1 stop bit. `speeds` are the speeds a setting offers.
PunchReading ReadPunch(int speed, int dataBits, const std::vector<std::uint8_t>& bytes,
                       const std::vector<int>& speeds);

struct LineDetection {
  bool speedFound = false;
  int speed = 0;
  std::vector<TapeCode> codes;  // one code: decided; several: cannot tell which
  bool asciiStopAsBit8 = false;
  std::vector<int> candidateSpeeds;  // when the speed is not found: the closest fits
  std::string reason;                // why it is not found, in the user's words
};

class LineDetector {
 public:
  // `speeds`: the speeds to consider (Quelvo's list). `fixedSpeed`: the line's
  // speed cannot be chosen (a raw network port): one reading at that speed.
  explicit LineDetector(std::vector<int> speeds, int fixedSpeed = 0);

  // The speed to listen at for the next punch; 0 when done.
  int NextSpeed() const { return done_ ? 0 : next_; }
  // The data bits to listen with (no parity, 1 stop bit): 8 first; 7 once no
  // speed read at 8 bits, for ASCII sent with 7 bits and 1 stop bit back to
  // back, whose stop bit meets the next start bit at 8 bits.
  int NextDataBits() const { return sevenBitRound_ ? 7 : 8; }
  // The bytes of one punch heard at NextSpeed() and NextDataBits().
  void Heard(const std::vector<std::uint8_t>& bytes);
  bool Done() const { return done_; }
  const LineDetection& Result() const { return result_; }

 private:
  int UntriedBelow(int speed) const;

  std::vector<int> speeds_;  // fastest first
  std::vector<int> tried_;
  std::vector<std::pair<int, double>> fits_;  // speed, best share
  std::vector<std::pair<int, double>> ascii7_;  // speed, share read as 7-bit ASCII
  bool sevenBitRound_ = false;
  std::vector<int> sevenBitQueue_;  // speeds still to hear with 7 bits
  void Finish();
  int next_ = 0;
  int fixedSpeed_ = 0;
  int emptyPunches_ = 0;
  bool done_ = false;
  LineDetection result_;
};

// "ISO", "EIA", "ASCII".
const char* TapeCodeName(TapeCode code);

}  // namespace quelvo
