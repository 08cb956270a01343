// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/document/Utf8Look.h"

namespace quelvo {
namespace {

// The length of the UTF-8 sequence starting at `i` (2..4), or 0 when there is
// none (a stray continuation byte, an overlong form, a surrogate, beyond U+10FFFF).
size_t SequenceLength(const std::string& s, size_t i) {
  const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char lead = b(i);
  size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (i + length > s.size()) return 0;
  if (b(i + 1) < low || b(i + 1) > high) return 0;
  for (size_t k = 2; k < length; ++k) {
    if (b(i + k) < 0x80 || b(i + k) > 0xBF) return 0;
  }
  return length;
}

}  // namespace

Utf8Look LookForUtf8(const std::string& bytes) {
  Utf8Look look;
  int line = 1;
  size_t lineStart = 0;
  for (size_t i = 0; i < bytes.size();) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c < 0x80) {
      if (c == '\n') {
        ++line;
        lineStart = i + 1;
      }
      ++i;
      continue;
    }
    const size_t length = SequenceLength(bytes, i);
    if (length == 0) return Utf8Look{};
    if (!look.utf8) look = {true, line, static_cast<int>(i - lineStart) + 1};
    i += length;
  }
  return look;
}

}  // namespace quelvo
