// SPDX-License-Identifier: GPL-3.0-or-later
#include "TapeCode.h"

#include <array>

namespace quelvo::ncsim {

namespace {

struct EiaEntry {
    std::uint8_t ch;
    std::uint8_t code;
};

// The EIA (RS-244) punched-tape characters. Every data code has an odd number
// of one bits; the colon, which EIA lacks, travels as the code of "O".
constexpr std::array<EiaEntry, 48> kEiaTable{{
    {'0', 0x20}, {'1', 0x01}, {'2', 0x02}, {'3', 0x13}, {'4', 0x04}, {'5', 0x15},
    {'6', 0x16}, {'7', 0x07}, {'8', 0x08}, {'9', 0x19}, {'A', 0x61}, {'B', 0x62},
    {'C', 0x73}, {'D', 0x64}, {'E', 0x75}, {'F', 0x76}, {'G', 0x67}, {'H', 0x68},
    {'I', 0x79}, {'J', 0x51}, {'K', 0x52}, {'L', 0x43}, {'M', 0x54}, {'N', 0x45},
    {'O', 0x46}, {':', 0x46}, {'P', 0x57}, {'Q', 0x58}, {'R', 0x49}, {'S', 0x32},
    {'T', 0x23}, {'U', 0x34}, {'V', 0x25}, {'W', 0x26}, {'X', 0x37}, {'Y', 0x38},
    {'Z', 0x29}, {'%', 0x0B}, {'(', 0x1A}, {')', 0x4A}, {'+', 0x70}, {'-', 0x40},
    {'/', 0x31}, {'.', 0x6B}, {'&', 0x0E}, {',', 0x3B}, {'\n', 0x80}, {' ', 0x10},
}};

std::optional<std::uint8_t> EiaEncode(std::uint8_t ch) {
    for (const EiaEntry& e : kEiaTable) {
        if (e.ch == ch) return e.code;
    }
    return std::nullopt;
}

std::optional<std::uint8_t> EiaDecode(std::uint8_t b) {
    // The first match wins, so 0x46 reads as "O", never as ":".
    for (const EiaEntry& e : kEiaTable) {
        if (e.code == b) return e.ch;
    }
    return std::nullopt;
}

}  // namespace

int CountOneBits(std::uint8_t b) {
    int n = 0;
    for (; b != 0; b = static_cast<std::uint8_t>(b & (b - 1))) ++n;
    return n;
}

bool IsLineControl(TapeCode code, std::uint8_t b) {
    if (code == TapeCode::Eia && b == kDc3) return false;
    switch (b) {
    case kNul: case kEnq: case kDc1: case kDc2: case kDc3: case kDc3Parity:
    case kDc4: case kCan:
        return true;
    default:
        return false;
    }
}

TapeCode DecideCodeByParity(std::uint8_t b) {
    return CountOneBits(b) % 2 == 1 ? TapeCode::Eia : TapeCode::Iso;
}

std::optional<std::uint8_t> EncodeTapeChar(TapeCode code, std::uint8_t ch) {
    switch (code) {
    case TapeCode::Ascii:
        return ch;
    case TapeCode::Eia:
        if (ch >= kDc1 && ch <= kDc4) return ch;
        return EiaEncode(ch);
    case TapeCode::Iso:
    case TapeCode::Auto:
        if (ch >= 0x80) return ch;
        return CountOneBits(ch) % 2 == 1 ? static_cast<std::uint8_t>(ch | 0x80) : ch;
    }
    return std::nullopt;
}

std::optional<std::uint8_t> DecodeTapeByte(TapeCode code, std::uint8_t b) {
    switch (code) {
    case TapeCode::Ascii:
        return b;
    case TapeCode::Eia:
        return EiaDecode(b);
    case TapeCode::Iso:
        return static_cast<std::uint8_t>(b & 0x7F);
    case TapeCode::Auto:
        break;
    }
    return std::nullopt;
}

bool HasCodeParity(TapeCode code, std::uint8_t b) {
    switch (code) {
    case TapeCode::Iso: return CountOneBits(b) % 2 == 0;
    case TapeCode::Eia: return CountOneBits(b) % 2 == 1;
    default: return true;
    }
}

const char* TapeCodeName(TapeCode code) {
    switch (code) {
    case TapeCode::Iso: return "iso";
    case TapeCode::Eia: return "eia";
    case TapeCode::Ascii: return "ascii";
    case TapeCode::Auto: return "auto";
    }
    return "?";
}

}  // namespace quelvo::ncsim
