// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/InputFilter.h"

#include <cstring>

namespace quelvo {

namespace {

const char* AllowedChars(InputFilter filter) {
  switch (filter) {
    case InputFilter::YesNo:
      return "YNyn";
    case InputFilter::PortName:
      return "COMcom0123456789";
    case InputFilter::Digits:
      return "0123456789";
    case InputFilter::AnyText:
      break;
  }
  return nullptr;
}

}  // namespace

bool InputFilterAccepts(InputFilter filter, char32_t ch) {
  const char* allowed = AllowedChars(filter);
  if (allowed == nullptr || ch == kBackspaceChar) return true;
  if (ch == 0 || ch > 0x7F) return false;
  return std::strchr(allowed, static_cast<char>(ch)) != nullptr;
}

std::string FilterText(InputFilter filter, const std::string& text) {
  if (AllowedChars(filter) == nullptr) return text;
  std::string kept;
  for (char c : text) {
    const auto ch = static_cast<unsigned char>(c);
    if (ch != kBackspaceChar && InputFilterAccepts(filter, ch)) kept += c;
  }
  return kept;
}

std::string UpperAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

}  // namespace quelvo
