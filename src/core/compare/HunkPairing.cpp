// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/compare/HunkPairing.h"

#include <algorithm>
#include <string>

#include "core/compare/BlockKey.h"

namespace quelvo {

namespace {

// Stretches with more pairs to weigh than this pair up in order.
constexpr std::size_t kMaxWeighedPairs = 40000;
constexpr std::size_t kMaxWords = 32;  // words of a block that are weighed

std::vector<std::string> Words(std::string_view line, const CompareOptions& options) {
  std::vector<std::string> words;
  for (BlockToken& t : SplitBlockTokens(line, options))
    if (!t.key.empty() && words.size() < kMaxWords) words.push_back(std::move(t.key));
  return words;
}

// Two words of the same kind with other values: the same address ("X10."
// and "X20."), or two comments.
bool SameKind(const std::string& a, const std::string& b) {
  const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  if (a[0] == '(' || a[0] == ';') return b[0] == a[0];
  return letter(a[0]) && a.size() > 1 && b.size() > 1 && (a[0] | 0x20) == (b[0] | 0x20);
}

// Likeness of two blocks, 0 .. 1.
double Likeness(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  if (a.empty() && b.empty()) return 1;
  std::vector<double> row(b.size() + 1, 0), next(b.size() + 1, 0);
  for (std::size_t i = 1; i <= a.size(); ++i) {
    next[0] = 0;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const double w = a[i - 1] == b[j - 1] ? 1 : SameKind(a[i - 1], b[j - 1]) ? 0.5 : 0;
      next[j] = std::max({row[j], next[j - 1], w > 0 ? row[j - 1] + w : 0.0});
    }
    std::swap(row, next);
  }
  return 2 * row[b.size()] / static_cast<double>(a.size() + b.size());
}

}  // namespace

std::vector<HunkStep> PairHunk(const std::vector<std::string_view>& removed, const std::vector<std::string_view>& added,
                               const CompareOptions& options) {
  const std::size_t n = removed.size(), m = added.size();
  std::vector<HunkStep> steps;
  if (n * m > kMaxWeighedPairs || n == 0 || m == 0) {
    const std::size_t pairs = std::min(n, m);
    steps.assign(pairs, HunkStep::Pair);
    steps.insert(steps.end(), n - pairs, HunkStep::Remove);
    steps.insert(steps.end(), m - pairs, HunkStep::Add);
    return steps;
  }
  std::vector<std::vector<std::string>> wa(n), wb(m);
  for (std::size_t i = 0; i < n; ++i) wa[i] = Words(removed[i], options);
  for (std::size_t j = 0; j < m; ++j) wb[j] = Words(added[j], options);
  // best[i][j]: the largest total likeness of pairs among the first i and j blocks.
  std::vector<std::vector<double>> best(n + 1, std::vector<double>(m + 1, 0)), like(n, std::vector<double>(m, 0));
  for (std::size_t i = 1; i <= n; ++i) {
    for (std::size_t j = 1; j <= m; ++j) {
      like[i - 1][j - 1] = Likeness(wa[i - 1], wb[j - 1]);
      double b = std::max(best[i - 1][j], best[i][j - 1]);
      if (like[i - 1][j - 1] >= 0.5) b = std::max(b, best[i - 1][j - 1] + like[i - 1][j - 1]);
      best[i][j] = b;
    }
  }
  // Back from the end; a removed block is listed before an added one at the same place.
  std::size_t i = n, j = m;
  while (i > 0 || j > 0) {
    if (i > 0 && j > 0 && like[i - 1][j - 1] >= 0.5 && best[i][j] == best[i - 1][j - 1] + like[i - 1][j - 1]) {
      steps.push_back(HunkStep::Pair);
      --i, --j;
    } else if (j > 0 && (i == 0 || best[i][j] == best[i][j - 1])) {
      steps.push_back(HunkStep::Add);
      --j;
    } else {
      steps.push_back(HunkStep::Remove);
      --i;
    }
  }
  std::reverse(steps.begin(), steps.end());
  return steps;
}

}  // namespace quelvo
