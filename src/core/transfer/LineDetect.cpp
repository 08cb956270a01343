// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/transfer/LineDetect.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <set>

namespace quelvo {
namespace {

// Fewer significant bytes than this are no tape to judge from.
constexpr int kMinSignificant = 12;
// A reading fits when nearly every byte fits: one noise hit in a long tape
// must not hide the answer, a wrong speed fits far less.
constexpr double kCleanShare = 0.97;
// A slower speed is pointed to when most bytes show its stretched bits.
constexpr double kStretchShare = 0.75;
// Bytes that read this much as 7-bit ASCII are worth hearing with 7 bits.
constexpr double kAscii7Hint = 0.2;

bool EvenParity(std::uint8_t b) {
  int ones = 0;
  for (int i = 0; i < 8; ++i) ones += (b >> i) & 1;
  return ones % 2 == 0;
}

// A character an NC tape holds: printable text, line ends, tab and the
// handshake codes.
bool IsTapeText(std::uint8_t c) {
  return (c >= 0x20 && c < 0x7F) || c == kLF || c == kCR || c == '\t' || (c >= kDC1 && c <= kDC4);
}

const std::array<bool, 256>& EiaBytes() {
  static const std::array<bool, 256> table = [] {
    std::array<bool, 256> t{};
    for (int ch = 1; ch < 256; ++ch) {
      if (const auto b = EncodeChar(TapeCode::EIA, static_cast<std::uint8_t>(ch))) t[*b] = true;
    }
    return t;
  }();
  return table;
}

enum Reading { kIso, kEia, kAscii8, kAscii7, kReadings };

bool Fits(Reading reading, std::uint8_t b) {
  switch (reading) {
    case kIso: return EvenParity(b) && IsTapeText(b & 0x7F);
    case kEia: return EiaBytes()[b];
    case kAscii8: return b < 0x80 && IsTapeText(b);
    case kAscii7: return b >= 0x80 && IsTapeText(b & 0x7F);
    default: return false;
  }
}

// The end of a block in that reading: a tape without one is no NC program.
bool IsBlockEnd(Reading reading, std::uint8_t b) {
  if (reading == kEia) return b == 0x80;
  const std::uint8_t c = b & 0x7F;
  return c == kLF || c == kCR;
}

// True when `b`, heard at `ratio` times the sender's speed, shows the sender's
// bits stretched: samples inside the start bit read 0, samples inside one
// sender bit agree. Samples near a sender bit edge prove nothing.
bool ShowsStretch(std::uint8_t b, double ratio) {
  int constraints = 0;
  int lastIndex = -1;
  int lastBit = 0;
  for (int j = 0; j < 8; ++j) {
    const double at = (j + 1.5) / ratio;
    const double frac = at - std::floor(at);
    if (frac < 0.15 || frac > 0.85) continue;
    const int index = static_cast<int>(at);
    const int bit = (b >> j) & 1;
    if (index == 0) {
      if (bit != 0) return false;
      ++constraints;
    } else if (index == lastIndex) {
      if (bit != lastBit) return false;
      ++constraints;
    }
    lastIndex = index;
    lastBit = bit;
  }
  return constraints >= 2;
}

}  // namespace

const char* TapeCodeName(TapeCode code) {
  switch (code) {
    case TapeCode::ISO: return "ISO";
    case TapeCode::EIA: return "EIA";
    case TapeCode::ASCII: return "ASCII";
    default: return "?";
  }
}

PunchReading ReadPunch(int speed, int dataBits, const std::vector<std::uint8_t>& bytes,
                       const std::vector<int>& speeds) {
  PunchReading out;
  if (dataBits == 7) {
    // Seven bits read only as ASCII; the other codes need bit 8.
    std::set<std::uint8_t> distinct;
    int fits = 0;
    bool blockEnd = false;
    for (const std::uint8_t raw : bytes) {
      const std::uint8_t b = raw & 0x7F;
      if (b == kNUL) continue;
      ++out.significant;
      distinct.insert(b);
      fits += Fits(kAscii8, b) ? 1 : 0;
      blockEnd = blockEnd || IsBlockEnd(kAscii8, b);
    }
    if (out.significant == 0) return out;
    out.bestShare = static_cast<double>(fits) / out.significant;
    if (out.significant >= kMinSignificant && distinct.size() >= 4 && blockEnd && out.bestShare >= kCleanShare) {
      out.codes.push_back(TapeCode::ASCII);
      out.asciiStopAsBit8 = true;
    }
    return out;
  }
  std::array<int, kReadings> fits{};
  std::array<bool, kReadings> blockEnd{};
  std::set<std::uint8_t> distinct;
  for (const std::uint8_t b : bytes) {
    if (b == kNUL) continue;
    ++out.significant;
    distinct.insert(b);
    for (int r = 0; r < kReadings; ++r) {
      if (Fits(static_cast<Reading>(r), b)) ++fits[r];
      if (IsBlockEnd(static_cast<Reading>(r), b)) blockEnd[r] = true;
    }
  }
  // A slower control leaves its pattern in every byte, NULs included.
  double bestStretch = 0;
  for (const int slower : speeds) {
    if (slower <= 0 || slower >= speed || bytes.empty()) continue;
    const double ratio = static_cast<double>(speed) / slower;
    const auto stretched = std::count_if(bytes.begin(), bytes.end(),
                                         [&](std::uint8_t b) { return ShowsStretch(b, ratio); });
    const double share = static_cast<double>(stretched) / static_cast<double>(bytes.size());
    // The slowest speed that fits: a pattern of a large ratio also fits smaller ones.
    if (share >= kStretchShare && (out.slowerSpeed == 0 || slower < out.slowerSpeed)) {
      out.slowerSpeed = slower;
      bestStretch = share;
    }
  }
  (void)bestStretch;
  if (out.significant == 0) return out;
  for (int r = 0; r < kReadings; ++r) {
    out.bestShare = std::max(out.bestShare, static_cast<double>(fits[r]) / out.significant);
  }
  out.ascii7Share = static_cast<double>(fits[kAscii7]) / out.significant;
  if (out.significant < kMinSignificant || distinct.size() < 4 || out.slowerSpeed != 0) return out;
  const auto clean = [&](Reading r) {
    return static_cast<double>(fits[r]) / out.significant >= kCleanShare && blockEnd[r];
  };
  if (clean(kIso)) out.codes.push_back(TapeCode::ISO);
  if (clean(kEia)) out.codes.push_back(TapeCode::EIA);
  if (clean(kAscii8) || clean(kAscii7)) {
    out.codes.push_back(TapeCode::ASCII);
    out.asciiStopAsBit8 = !clean(kAscii8);
  }
  return out;
}

LineDetector::LineDetector(std::vector<int> speeds, int fixedSpeed)
    : speeds_(std::move(speeds)), fixedSpeed_(fixedSpeed) {
  std::sort(speeds_.begin(), speeds_.end(), std::greater<int>());
  speeds_.erase(std::unique(speeds_.begin(), speeds_.end()), speeds_.end());
  next_ = fixedSpeed_ != 0 ? fixedSpeed_ : (speeds_.empty() ? 0 : speeds_.front());
  done_ = next_ == 0;
}

int LineDetector::UntriedBelow(int speed) const {
  for (const int s : speeds_) {
    if (s < speed && std::find(tried_.begin(), tried_.end(), s) == tried_.end()) return s;
  }
  return 0;
}

void LineDetector::Heard(const std::vector<std::uint8_t>& bytes) {
  if (done_) return;
  const PunchReading reading =
      ReadPunch(next_, NextDataBits(), bytes, fixedSpeed_ != 0 ? std::vector<int>{} : speeds_);
  if (reading.significant < kMinSignificant) {
    // Nothing (or next to nothing) came: the same speed again, three times at most.
    if (++emptyPunches_ >= 3) {
      done_ = true;
      result_.reason = "NC 機からのデータが届きません (配線、ポート、NC 機の出力先を確認してください)";
    }
    return;
  }
  emptyPunches_ = 0;
  if (!reading.codes.empty()) {
    done_ = true;
    result_.speedFound = true;
    result_.speed = next_;
    result_.codes = reading.codes;
    result_.asciiStopAsBit8 = reading.asciiStopAsBit8;
    return;
  }
  if (sevenBitRound_) {
    if (sevenBitQueue_.empty()) {
      Finish();
    } else {
      next_ = sevenBitQueue_.front();
      sevenBitQueue_.erase(sevenBitQueue_.begin());
    }
    return;
  }
  tried_.push_back(next_);
  fits_.emplace_back(next_, reading.bestShare);
  ascii7_.emplace_back(next_, reading.ascii7Share);
  int next = 0;
  if (fixedSpeed_ == 0) {
    const bool hintUntried = reading.slowerSpeed != 0 &&
                             std::find(tried_.begin(), tried_.end(), reading.slowerSpeed) == tried_.end();
    next = hintUntried ? reading.slowerSpeed : UntriedBelow(next_);
    if (next == 0) {  // below is tried: any speed left at all
      for (const int s : speeds_) {
        if (std::find(tried_.begin(), tried_.end(), s) == tried_.end()) {
          next = s;
          break;
        }
      }
    }
  }
  if (next != 0) {
    next_ = next;
    return;
  }
  // No speed read at 8 bits: hear again with 7 bits where the bytes looked
  // most like 7-bit ASCII, best first.
  std::vector<std::pair<int, double>> order = ascii7_;
  std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
  for (const auto& [speed, share] : order) {
    if (share >= kAscii7Hint) sevenBitQueue_.push_back(speed);
  }
  if (sevenBitQueue_.empty()) {
    Finish();
    return;
  }
  sevenBitRound_ = true;
  next_ = sevenBitQueue_.front();
  sevenBitQueue_.erase(sevenBitQueue_.begin());
}

void LineDetector::Finish() {
  done_ = true;
  result_.reason = fixedSpeed_ != 0 ? "この速度ではどのコードとしても読めません"
                                     : "どの通信速度でもどのコードとしても読めません";
  std::vector<std::pair<int, double>> fits = fits_;
  std::stable_sort(fits.begin(), fits.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
  for (const auto& [speed, share] : fits) {
    if (share >= 0.5) result_.candidateSpeeds.push_back(speed);
  }
}

}  // namespace quelvo
