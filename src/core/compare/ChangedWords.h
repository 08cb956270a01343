// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The words that differ between two blocks paired as changed: each block is
// split into its pieces (BlockKey.h), the pieces' keys are matched by a longest
// common subsequence, and the pieces left over are marked. Pieces the options
// ignore are never marked.
#include <cstddef>
#include <string_view>
#include <utility>
#include <vector>

#include "core/compare/CompareOptions.h"

namespace quelvo {

using ByteRange = std::pair<std::size_t, std::size_t>;  // [first, second)

struct ChangedWordMarks {
  std::vector<ByteRange> a, b;  // byte ranges in each block, in order, adjacent ones joined
};

ChangedWordMarks MarkChangedWords(std::string_view a, std::string_view b, const CompareOptions& options);

}  // namespace quelvo
