// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/document/SendCarry.h"

#include <algorithm>
#include <string>

#include "core/common/Cp932.h"

namespace quelvo {
namespace {

std::size_t Utf8Length(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;  // a stray byte: a character of its own
}

bool ByteCarried(TapeCode code, unsigned char byte) {
  switch (code) {
    case TapeCode::ISO: return byte < 0x80;
    case TapeCode::EIA: return EncodeChar(TapeCode::EIA, byte).has_value();
    case TapeCode::ASCII:
    case TapeCode::Undecided: break;
  }
  return true;
}

bool CharacterCarried(TapeCode code, std::string_view character) {
  if (character.size() == 1 && static_cast<unsigned char>(character[0]) < 0x80)
    return ByteCarried(code, static_cast<unsigned char>(character[0]));
  const std::string bytes = Utf8ToCp932(character);
  if (bytes == "?") return false;  // no CP932 form (a "?" itself is ASCII, handled above)
  for (const char b : bytes) {
    if (!ByteCarried(code, static_cast<unsigned char>(b))) return false;
  }
  return true;
}

void Add(std::vector<ByteRange>& out, std::size_t begin, std::size_t end) {
  if (!out.empty() && out.back().end == begin) {
    out.back().end = end;
  } else {
    out.push_back({begin, end});
  }
}

}  // namespace

void FindUncarried(std::string_view text, const SendCarryRule& rule, std::vector<ByteRange>& out) {
  // ISO and ASCII carry every ASCII byte; only EIA has to look at each one.
  const bool asciiCarried = rule.code != TapeCode::EIA;
  bool inParentheses = false;
  bool cut = false;
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\r' || c == '\n') {
      inParentheses = cut = false;
      ++i;
      continue;
    }
    const std::size_t length = std::min(Utf8Length(c), text.size() - i);
    if (c == '(') inParentheses = true;
    if (c == ')') inParentheses = false;
    if (!inParentheses && rule.cutComments && (c == ';' || c == '\'')) cut = true;
    const bool sent = !cut && c != '\t' && !(c == '%' && !inParentheses);
    const bool skip = !sent || (asciiCarried && c < 0x80);
    if (!skip && !CharacterCarried(rule.code, text.substr(i, length))) Add(out, i, i + length);
    i += length;
  }
}

}  // namespace quelvo
