// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which characters a settings field takes from the keyboard. The dialogs drop
// every other character key; the same rules clean text that arrives by pasting.
#include <string>

namespace quelvo {

enum class InputFilter {
  AnyText,   // no filter
  YesNo,     // the letters of "YNyn"
  PortName,  // the characters of "COMcom0123456789"
  Digits,    // "0123456789"
};

constexpr char32_t kBackspaceChar = 0x08;

// True when a character key may reach the field. Backspace always may.
bool InputFilterAccepts(InputFilter filter, char32_t ch);

// The text with the characters the filter refuses removed (AnyText keeps all).
std::string FilterText(InputFilter filter, const std::string& text);

// ASCII letters upper-cased, every other byte (multi-byte UTF-8 included) kept.
std::string UpperAscii(std::string text);

}  // namespace quelvo
