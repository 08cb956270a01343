// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/compare/LineDiff.h"

#include <gtest/gtest.h>

#include <random>

namespace quelvo {
namespace {

using Seq = std::vector<std::uint64_t>;

Seq Kept(const Seq& s, const std::vector<std::uint8_t>& marks) {
  Seq kept;
  for (std::size_t i = 0; i < s.size(); ++i)
    if (!marks[i]) kept.push_back(s[i]);
  return kept;
}

std::size_t LcsLength(const Seq& a, const Seq& b) {
  std::vector<std::size_t> row(b.size() + 1, 0), next(b.size() + 1, 0);
  for (std::size_t i = a.size(); i-- > 0;) {
    for (std::size_t j = b.size(); j-- > 0;) next[j] = a[i] == b[j] ? row[j + 1] + 1 : std::max(row[j], next[j + 1]);
    std::swap(row, next);
  }
  return row[0];
}

std::size_t Marked(const std::vector<std::uint8_t>& marks) {
  std::size_t n = 0;
  for (auto m : marks) n += m;
  return n;
}

// What is left unmarked on both sides is one and the same sequence, and with
// no cost limit it is a longest common one: the difference is the smallest.
TEST(LineDiff, RandomSequencesGiveTheSmallestDifference) {
  std::mt19937 random(28);
  for (int round = 0; round < 400; ++round) {
    const int alphabet = 2 + round % 7;
    Seq a(random() % 40), b;
    for (auto& x : a) x = random() % alphabet;
    b = a;
    for (int e = static_cast<int>(random() % 8); e > 0; --e) {
      const std::size_t at = b.empty() ? 0 : random() % (b.size() + 1);
      if (random() % 2 && at < b.size()) b.erase(b.begin() + static_cast<long>(at));
      else b.insert(b.begin() + static_cast<long>(at), random() % (alphabet + 2));
    }
    const LineDiffMarks marks = DiffHashes(a, b, 1 << 30);
    ASSERT_EQ(Kept(a, marks.removed), Kept(b, marks.added)) << "round " << round;
    ASSERT_EQ(a.size() - Marked(marks.removed), LcsLength(a, b)) << "round " << round;
  }
}

TEST(LineDiff, ACostLimitStillGivesACorrectDifference) {
  std::mt19937 random(7);
  for (int round = 0; round < 50; ++round) {
    Seq a(300), b(300);
    for (auto& x : a) x = random() % 4;
    for (auto& x : b) x = random() % 4;
    const LineDiffMarks marks = DiffHashes(a, b, 3);
    ASSERT_EQ(Kept(a, marks.removed), Kept(b, marks.added)) << "round " << round;
  }
}

TEST(LineDiff, EdgeShapes) {
  EXPECT_EQ(Marked(DiffHashes({}, {1, 2}).added), 2u);
  EXPECT_EQ(Marked(DiffHashes({1, 2}, {}).removed), 2u);
  const LineDiffMarks swap = DiffHashes({1, 2}, {2, 1});
  EXPECT_EQ(Marked(swap.removed) + Marked(swap.added), 2u);
  const LineDiffMarks disjoint = DiffHashes({1, 2, 3}, {4, 5});
  EXPECT_EQ(Marked(disjoint.removed), 3u);
  EXPECT_EQ(Marked(disjoint.added), 2u);
}

}  // namespace
}  // namespace quelvo
