// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/TerminalCells.h"

namespace quelvo {

size_t TerminalCells(const std::string& text) {
  size_t cells = 0;
  for (size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    const size_t length = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    // U+FF61..U+FF9F, the half-width katakana, are EF BD A1..EF BE 9F.
    const bool halfKana = length == 3 && b == 0xEF && i + 1 < text.size() &&
                          (static_cast<unsigned char>(text[i + 1]) == 0xBD ||
                           static_cast<unsigned char>(text[i + 1]) == 0xBE);
    // Latin letters with accents and the like (two bytes) are one cell too.
    cells += length <= 2 || halfKana ? 1 : 2;
    i += length;
  }
  return cells;
}

std::string PadToCells(const std::string& text, size_t width) {
  const size_t cells = TerminalCells(text);
  return text + std::string(cells < width ? width - cells : 1, ' ');
}

}  // namespace quelvo
