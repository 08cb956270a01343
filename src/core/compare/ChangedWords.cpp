// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/compare/ChangedWords.h"

#include "core/compare/BlockKey.h"

namespace quelvo {

namespace {

// Blocks longer than this many pieces are marked whole rather than matched
// (the table below grows with the product of the two counts).
constexpr std::size_t kMaxPieces = 512;

std::vector<BlockToken> Counted(std::vector<BlockToken> tokens) {
  std::vector<BlockToken> kept;
  for (BlockToken& t : tokens)
    if (!t.key.empty()) kept.push_back(std::move(t));
  return kept;
}

void Mark(std::vector<ByteRange>& marks, const BlockToken& token) {
  if (!marks.empty() && marks.back().second == token.begin) marks.back().second = token.end;
  else marks.emplace_back(token.begin, token.end);
}

}  // namespace

ChangedWordMarks MarkChangedWords(std::string_view a, std::string_view b, const CompareOptions& options) {
  const std::vector<BlockToken> ta = Counted(SplitBlockTokens(a, options));
  const std::vector<BlockToken> tb = Counted(SplitBlockTokens(b, options));
  ChangedWordMarks marks;
  const std::size_t n = ta.size(), m = tb.size();
  std::vector<bool> keepA(n, false), keepB(m, false);
  if (n <= kMaxPieces && m <= kMaxPieces) {
    // lcs[i][j]: longest common subsequence of ta[i..] and tb[j..].
    std::vector<std::vector<unsigned>> lcs(n + 1, std::vector<unsigned>(m + 1, 0));
    for (std::size_t i = n; i-- > 0;)
      for (std::size_t j = m; j-- > 0;)
        lcs[i][j] = ta[i].key == tb[j].key ? lcs[i + 1][j + 1] + 1 : std::max(lcs[i + 1][j], lcs[i][j + 1]);
    std::size_t i = 0, j = 0;
    while (i < n && j < m) {
      if (ta[i].key == tb[j].key) {
        keepA[i++] = true;
        keepB[j++] = true;
      } else if (lcs[i + 1][j] >= lcs[i][j + 1]) {
        ++i;
      } else {
        ++j;
      }
    }
  }
  for (std::size_t i = 0; i < n; ++i)
    if (!keepA[i]) Mark(marks.a, ta[i]);
  for (std::size_t j = 0; j < m; ++j)
    if (!keepB[j]) Mark(marks.b, tb[j]);
  return marks;
}

}  // namespace quelvo
