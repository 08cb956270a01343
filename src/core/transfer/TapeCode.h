// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The three paper-tape codes spoken on the serial line. ISO: seven-bit
// characters with even parity in bit 8. EIA: one fixed odd-parity byte per
// character. ASCII: bytes as they are. Characters here are single CP932 bytes,
// as they go on the wire.
#include <cstdint>
#include <optional>

namespace quelvo {

enum class TapeCode { Undecided, ISO, EIA, ASCII };

// Control characters by their ASCII values.
constexpr std::uint8_t kNUL = 0x00;
constexpr std::uint8_t kENQ = 0x05;
constexpr std::uint8_t kLF = 0x0A;
constexpr std::uint8_t kCR = 0x0D;
constexpr std::uint8_t kDC1 = 0x11;
constexpr std::uint8_t kDC2 = 0x12;
constexpr std::uint8_t kDC3 = 0x13;
constexpr std::uint8_t kDC4 = 0x14;
constexpr std::uint8_t kCAN = 0x18;
// DC3 with the ISO parity bit: the pause code when the option DC3(0X93) is "Y".
constexpr std::uint8_t kDC3WithParity = 0x93;

// Tape length of one character: ten characters to the inch.
constexpr double kMetersPerTapeChar = 0.00254;

// What the byte reader and writer share with the codes for one transfer.
struct TapeCodeState {
  // Set by the engine when a transfer starts; afterwards only DecodeByte changes
  // it, from Undecided to ISO or EIA (the receive engine may reset it).
  TapeCode CurrentCode = TapeCode::Undecided;
  // The control's go (DC1, ENQ) and pause (DC3) codes set and clear it.
  bool GoFlag = false;
};

// The code of a transfer from the Code field of its half of the setting:
// send 0 ISO, 1 EIA, 2 ASCII; receive 0 undecided (detected from the data),
// 1 ASCII, 2 EIA, 3 ISO. A value outside its list gives Undecided, under which
// sending passes bytes unchanged and receiving detects the code.
TapeCode SendTapeCode(int Code_S);
TapeCode ReceiveTapeCode(int Code_R);

// The wire byte for one character, or nothing when the character is not sent
// at all under `code` (EIA has no byte for it).
std::optional<std::uint8_t> EncodeChar(TapeCode code, std::uint8_t ch);

// The character for one received byte, or 0 when it stands for none. Sets
// GoFlag on DC1 and ENQ, clears it on the pause code (0x93 when
// `pauseIs0x93`, else 0x13 unless the code is EIA or ASCII), and decides ISO
// or EIA by the byte's parity while the code is undecided. NUL, DC1, DC2, DC4,
// CAN, ENQ and the pause code never take part in that decision.
std::uint8_t DecodeByte(TapeCodeState& state, std::uint8_t b, bool pauseIs0x93);

// Tape length of `chars` characters, in metres.
double TapeMeters(std::int64_t chars);

}  // namespace quelvo
