// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Two NC programs compared block by block (a block is a line). Each line is
// read into its key (BlockKey.h) under the options; lines the options leave
// nothing of (empty lines when blanks are ignored, a line of only a comment
// when comments are, the frame) take no part. The keys are hashed and the
// hash sequences diffed (LineDiff.h); among unmatched blocks that stand
// together, blocks that are alike pair up as changed (HunkPairing.h), the rest
// are added (only in b) or removed (only in a).
//
// Blocks are counted by their index among the blocks that take part;
// blockLineA/B give their line (0-based) in the texts.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/compare/CompareOptions.h"

namespace quelvo {

enum class CompareKind : std::uint8_t { Same, Changed, Added, Removed };

// `count` blocks from block a of the first program and block b of the second:
// pairs for Same and Changed, blocks of b only for Added (they come before
// block a of the first), blocks of a only for Removed (before block b).
struct CompareRun {
  CompareKind kind = CompareKind::Same;
  std::size_t a = 0, b = 0, count = 0;
};

struct CompareResult {
  std::vector<std::uint32_t> blockLineA, blockLineB;
  std::vector<CompareRun> runs;
  std::size_t changed = 0, added = 0, removed = 0;  // blocks
  bool Same() const { return changed == 0 && added == 0 && removed == 0; }
  std::size_t Differing() const { return changed + added + removed; }
};

CompareResult CompareLines(const std::vector<std::string_view>& a, const std::vector<std::string_view>& b,
                           const CompareOptions& options);
// The same for two document texts (any of the three line ends).
CompareResult CompareTexts(std::string_view a, std::string_view b, const CompareOptions& options);

// "変更 3 ブロック、追加 1、削除 0"
std::string CompareSummaryText(const CompareResult& result);

}  // namespace quelvo
