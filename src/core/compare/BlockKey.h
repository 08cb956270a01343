// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The text a block is compared by: the line with what the options ignore taken
// out and, when numbers count by value, every number of a word written one way
// ("X10.000" -> "X10", "x.5" -> "X0.5", "Y-0" -> "Y0"). Two blocks are the same
// when their keys are equal.
//
// The least-increment reading depends on the unit in force (G20 inch, G21 mm),
// which a program sets for the lines after it: a BlockKeyReader reads the
// lines of one program in order and carries it.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/compare/CompareOptions.h"

namespace quelvo {

class BlockKeyReader {
 public:
  explicit BlockKeyReader(const CompareOptions& options) : options_(options) {}
  // The key of the next line (without its line end), written over `key`.
  void Read(std::string_view line, std::string& key);

 private:
  CompareOptions options_;
  bool inch_ = false;
};

// One piece of a block as the compare sees it: a word ("X-12.5"), a comment,
// a run of blanks or another character; `key` is what it counts as, empty when
// the options ignore it.
struct BlockToken {
  std::size_t begin = 0, end = 0;  // byte range in the line
  std::string key;
};
std::vector<BlockToken> SplitBlockTokens(std::string_view line, const CompareOptions& options);

// A line of only blanks, "%" and tape feed (DEL): the frame around a program.
bool IsFrameLine(std::string_view line);

}  // namespace quelvo
