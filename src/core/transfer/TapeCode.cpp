// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/transfer/TapeCode.h"

#include <array>

namespace quelvo {
namespace {

struct EiaEntry {
  std::uint8_t ch;
  std::uint8_t byte;
};

// The EIA characters. Data bytes carry odd parity in channel 5; the colon,
// which EIA lacks, goes out as the code of "O"; DC1 to DC4 pass with their
// ASCII values (so DC3 and "3" share 0x13).
constexpr EiaEntry kEiaTable[] = {
    {'0', 0x20}, {'1', 0x01}, {'2', 0x02}, {'3', 0x13}, {'4', 0x04}, {'5', 0x15},
    {'6', 0x16}, {'7', 0x07}, {'8', 0x08}, {'9', 0x19}, {'A', 0x61}, {'B', 0x62},
    {'C', 0x73}, {'D', 0x64}, {'E', 0x75}, {'F', 0x76}, {'G', 0x67}, {'H', 0x68},
    {'I', 0x79}, {'J', 0x51}, {'K', 0x52}, {'L', 0x43}, {'M', 0x54}, {'N', 0x45},
    {'O', 0x46}, {':', 0x46}, {'P', 0x57}, {'Q', 0x58}, {'R', 0x49}, {'S', 0x32},
    {'T', 0x23}, {'U', 0x34}, {'V', 0x25}, {'W', 0x26}, {'X', 0x37}, {'Y', 0x38},
    {'Z', 0x29}, {'%', 0x0B}, {'(', 0x1A}, {')', 0x4A}, {'+', 0x70}, {'-', 0x40},
    {'/', 0x31}, {'.', 0x6B}, {'&', 0x0E}, {',', 0x3B}, {kLF, 0x80}, {' ', 0x10},
    {kDC1, 0x11}, {kDC2, 0x12}, {kDC3, 0x13}, {kDC4, 0x14},
};

// Byte-indexed tables; 0 means "none" (no character of EIA is NUL).
struct EiaTables {
  std::array<std::uint8_t, 256> encode{};
  std::array<std::uint8_t, 256> decode{};
};

EiaTables BuildEiaTables() {
  EiaTables t;
  for (const EiaEntry& e : kEiaTable) {
    t.encode[e.ch] = e.byte;
    // The first character of a byte wins: 0x46 reads as "O", 0x13 as "3".
    if (t.decode[e.byte] == 0) t.decode[e.byte] = e.ch;
  }
  return t;
}

const EiaTables& Eia() {
  static const EiaTables tables = BuildEiaTables();
  return tables;
}

bool OddBitCount(std::uint8_t b) {
  b ^= static_cast<std::uint8_t>(b >> 4);
  b ^= static_cast<std::uint8_t>(b >> 2);
  b ^= static_cast<std::uint8_t>(b >> 1);
  return (b & 1) != 0;
}

}  // namespace

TapeCode SendTapeCode(int Code_S) {
  switch (Code_S) {
    case 0: return TapeCode::ISO;
    case 1: return TapeCode::EIA;
    case 2: return TapeCode::ASCII;
    default: return TapeCode::Undecided;
  }
}

TapeCode ReceiveTapeCode(int Code_R) {
  switch (Code_R) {
    case 1: return TapeCode::ASCII;
    case 2: return TapeCode::EIA;
    case 3: return TapeCode::ISO;
    default: return TapeCode::Undecided;
  }
}

std::optional<std::uint8_t> EncodeChar(TapeCode code, std::uint8_t ch) {
  switch (code) {
    case TapeCode::ISO:
      if (ch < 0x80 && OddBitCount(ch)) return static_cast<std::uint8_t>(ch | 0x80);
      return ch;
    case TapeCode::EIA: {
      const std::uint8_t byte = Eia().encode[ch];
      if (byte == 0) return std::nullopt;
      return byte;
    }
    case TapeCode::ASCII:
    case TapeCode::Undecided:
      break;
  }
  return ch;
}

std::uint8_t DecodeByte(TapeCodeState& state, std::uint8_t b, bool pauseIs0x93) {
  if (b == kDC1 || b == kENQ) {
    state.GoFlag = true;
    return b;
  }
  const bool eiaOrAscii =
      state.CurrentCode == TapeCode::EIA || state.CurrentCode == TapeCode::ASCII;
  const bool pause = pauseIs0x93 ? b == kDC3WithParity : (b == kDC3 && !eiaOrAscii);
  if (pause) {
    state.GoFlag = false;
    return kDC3;
  }
  if (b == kNUL || b == kDC2 || b == kDC4 || b == kCAN) return b;

  if (state.CurrentCode == TapeCode::Undecided) {
    state.CurrentCode = OddBitCount(b) ? TapeCode::EIA : TapeCode::ISO;
  }
  switch (state.CurrentCode) {
    case TapeCode::ISO: return static_cast<std::uint8_t>(b & 0x7F);
    case TapeCode::EIA: return Eia().decode[b];
    case TapeCode::ASCII:
    case TapeCode::Undecided: break;
  }
  return b;
}

double TapeMeters(std::int64_t chars) { return static_cast<double>(chars) * kMetersPerTapeChar; }

}  // namespace quelvo
