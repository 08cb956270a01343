// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

namespace quelvo::ncsim {

// The tape code the simulated control speaks. Auto decides between ISO and EIA
// from the parity of the first significant byte that arrives.
enum class TapeCode { Iso, Eia, Ascii, Auto };

// Control characters of the line.
constexpr std::uint8_t kNul = 0x00;
constexpr std::uint8_t kEnq = 0x05;
constexpr std::uint8_t kDc1 = 0x11;
constexpr std::uint8_t kDc2 = 0x12;
constexpr std::uint8_t kDc3 = 0x13;
constexpr std::uint8_t kDc3Parity = 0x93;
constexpr std::uint8_t kDc4 = 0x14;
constexpr std::uint8_t kCan = 0x18;

// Number of one bits in all eight bits of b.
int CountOneBits(std::uint8_t b);

// True for the bytes that steer the line rather than carry text: NUL, ENQ,
// DC1 to DC4 (DC3 with and without its parity bit) and CAN. They take no part
// in the ISO/EIA decision and are never stored as text. In EIA 0x13 is the
// digit "3", not DC3.
bool IsLineControl(TapeCode code, std::uint8_t b);

// ISO or EIA for the first significant byte of a tape: odd parity is EIA.
TapeCode DecideCodeByParity(std::uint8_t b);

// The wire byte for one text character, or nothing when the code cannot carry it.
// Auto encodes as ISO.
std::optional<std::uint8_t> EncodeTapeChar(TapeCode code, std::uint8_t ch);

// The text character for one received data byte, or nothing when the byte
// stands for no character of the code. Auto must be decided before decoding.
std::optional<std::uint8_t> DecodeTapeByte(TapeCode code, std::uint8_t b);

// True when b carries the parity its code demands: even in ISO, odd in EIA.
// ASCII has no parity and always passes.
bool HasCodeParity(TapeCode code, std::uint8_t b);

const char* TapeCodeName(TapeCode code);

}  // namespace quelvo::ncsim
