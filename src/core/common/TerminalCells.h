// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The width of UTF-8 text on a terminal, for the tables the terminal programs
// print: ASCII and half-width katakana take one cell, other characters
// (kanji, kana, full-width forms) two.
#include <cstddef>
#include <string>

namespace quelvo {

size_t TerminalCells(const std::string& utf8);

// `text` followed by spaces up to `width` cells, and at least one space so
// that a text as wide as its column stays apart from the next.
std::string PadToCells(const std::string& text, size_t width);

}  // namespace quelvo
