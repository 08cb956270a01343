// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The character classes of a reception: which characters start it, which are
// kept in the received text, and which belong to a number (they do not start a
// new word when spaces are inserted between words).
#include <cstdint>

namespace quelvo {

// "%OP:LNG$": any one of these starts a reception (a line feed does as well).
bool IsReceiveStartChar(std::uint8_t c);
// Digits, upper-case letters, the space, the double quote and the signs
// "%()+-:/.#$&'*,;<=>?@[]!_^". Everything else (lower case, control
// characters, bytes of 0x80 and above) is dropped from the received text.
bool IsReceiveAcceptedChar(std::uint8_t c);
// "0123456789.+-/*[]()=".
bool IsReceiveNumericChar(std::uint8_t c);

}  // namespace quelvo
