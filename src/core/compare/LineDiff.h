// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The difference of two sequences of line hashes: which elements of each are
// not part of a longest common subsequence. Myers' O(ND) algorithm in linear
// space (forward and backward search meeting in the middle), after taking off
// the common head and tail and setting aside elements that have no equal on
// the other side at all (they cannot be matched, so the result stays minimal).
// Past `costLimit` steps in one search it splits where it got furthest
// instead: the result is then a correct difference, though not always the
// smallest, and the time stays bounded for inputs that differ everywhere.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quelvo {

struct LineDiffMarks {
  std::vector<std::uint8_t> removed;  // per element of a: 1 when not matched
  std::vector<std::uint8_t> added;    // per element of b: 1 when not matched
};

LineDiffMarks DiffHashes(const std::vector<std::uint64_t>& a, const std::vector<std::uint64_t>& b,
                         long costLimit = 0);  // 0: chosen from the sizes

}  // namespace quelvo
