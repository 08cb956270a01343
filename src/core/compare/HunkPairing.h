// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Inside a stretch of unmatched blocks (some only in the first program, some
// only in the second), which block of one was changed into which of the
// other. Blocks pair up when they are alike: their words are matched by a
// weighted longest common subsequence (the same word counts 1, the same
// address with another value ½), and two blocks are alike when that score is
// at least half their words. The pairs keep their order and their total
// likeness is the largest; the blocks left over are removed or added.
// "N40 G01 Z-2. F100" pairs with "N40 G01 Z-2.5 F100", not with "N35 M08".
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/compare/CompareOptions.h"

namespace quelvo {

enum class HunkStep : std::uint8_t { Pair, Remove, Add };

// The steps in order: Pair takes the next block of each, Remove the next of
// `removed`, Add the next of `added`. Stretches too large to weigh block by
// block pair up in order, as many as both sides have.
std::vector<HunkStep> PairHunk(const std::vector<std::string_view>& removed, const std::vector<std::string_view>& added,
                               const CompareOptions& options);

}  // namespace quelvo
