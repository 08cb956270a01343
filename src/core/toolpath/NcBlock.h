// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One line of a word-address NC program split into its words: a letter and a
// number each ("G01", "X-12.5"). Comments in parentheses and anything after a
// ';' are dropped. A line that uses macro syntax (#, [ ], =, or words of two
// or more letters such as IF, GOTO, WHILE) is marked as such and not split
// further, since its values cannot be known without running it.
#include <string>
#include <string_view>
#include <vector>

namespace quelvo {

struct NcWord {
  char letter = 0;       // 'A' .. 'Z', upper case
  double value = 0;
  bool hasPoint = false;  // written with a decimal point
};

struct NcBlock {
  std::vector<NcWord> words;
  bool openComment = false;    // a "(" not closed before the line end (read as running to it)
  bool deleted = false;        // starts with the block delete "/"
  bool percent = false;        // "%" alone
  bool programNumber = false;  // starts with O<digits> or :<digits>
  bool macro = false;
  std::string error;  // the first thing that is not a word; empty when none
  void Clear();
};

// Splits `line` (without its line end) into `block`, reusing its storage.
void ParseBlock(std::string_view line, NcBlock& block);

// `text` with each control byte (NUL, ESC, BEL, ...) written as its name in
// angle brackets ("<ESC>"), so that a text quoting a program line shows it
// rather than acting on a terminal or breaking a list.
std::string EscapeControlBytes(std::string_view text);

}  // namespace quelvo
