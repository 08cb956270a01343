// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/compare/ProgramCompare.h"

#include <cstring>

#include "core/compare/BlockKey.h"
#include "core/compare/HunkPairing.h"
#include "core/compare/LineDiff.h"
#include "core/document/TextLines.h"

namespace quelvo {

namespace {

std::uint64_t Mix(std::uint64_t h) {
  h ^= h >> 33;
  h *= 0xff51afd7ed558ccdULL;
  h ^= h >> 33;
  h *= 0xc4ceb9fe1a85ec53ULL;
  h ^= h >> 33;
  return h;
}

// A 64-bit hash of a key, eight bytes at a time. Keys of programs of a few
// million blocks make a false equality unlikely beyond any practical concern.
std::uint64_t HashKey(const std::string& key) {
  std::uint64_t h = 0x9e3779b97f4a7c15ULL ^ key.size();
  std::size_t i = 0;
  for (; i + 8 <= key.size(); i += 8) {
    std::uint64_t w;
    std::memcpy(&w, key.data() + i, 8);
    h = (h ^ Mix(w)) * 0x100000001b3ULL;
  }
  std::uint64_t tail = 0;
  std::memcpy(&tail, key.data() + i, key.size() - i);
  h = (h ^ Mix(tail + 1)) * 0x100000001b3ULL;
  return Mix(h);
}

// The blocks of one program that take part: their hashes and lines.
void ReadBlocks(const std::vector<std::string_view>& lines, const CompareOptions& options,
                std::vector<std::uint64_t>& hashes, std::vector<std::uint32_t>& blockLines) {
  std::size_t first = 0, end = lines.size();
  if (options.ignoreFrame) {
    while (first < end && IsFrameLine(lines[first])) ++first;
    while (end > first && IsFrameLine(lines[end - 1])) --end;
  }
  hashes.reserve(end - first);
  blockLines.reserve(end - first);
  BlockKeyReader reader(options);
  std::string key;
  for (std::size_t i = first; i < end; ++i) {
    reader.Read(lines[i], key);
    if (key.empty() && (options.ignoreBlanks || !lines[i].empty())) continue;
    hashes.push_back(HashKey(key));
    blockLines.push_back(static_cast<std::uint32_t>(i));
  }
}

}  // namespace

CompareResult CompareLines(const std::vector<std::string_view>& a, const std::vector<std::string_view>& b,
                           const CompareOptions& options) {
  CompareResult result;
  std::vector<std::uint64_t> hashA, hashB;
  ReadBlocks(a, options, hashA, result.blockLineA);
  ReadBlocks(b, options, hashB, result.blockLineB);
  const LineDiffMarks marks = DiffHashes(hashA, hashB);
  hashA = {};
  hashB = {};

  auto add = [&](CompareKind kind, std::size_t i, std::size_t j, std::size_t count) {
    if (count == 0) return;
    if (!result.runs.empty()) {
      CompareRun& last = result.runs.back();
      if (last.kind == kind && last.a + (kind == CompareKind::Added ? 0 : last.count) == i &&
          last.b + (kind == CompareKind::Removed ? 0 : last.count) == j) {
        last.count += count;
        return;
      }
    }
    result.runs.push_back({kind, i, j, count});
  };
  const std::size_t n = marks.removed.size(), m = marks.added.size();
  std::size_t i = 0, j = 0;
  while (i < n || j < m) {
    std::size_t same = 0;
    while (i + same < n && j + same < m && !marks.removed[i + same] && !marks.added[j + same]) ++same;
    add(CompareKind::Same, i, j, same);
    i += same;
    j += same;
    std::size_t i2 = i, j2 = j;
    while (i2 < n && marks.removed[i2]) ++i2;
    while (j2 < m && marks.added[j2]) ++j2;
    if (i2 == i && j2 == j) {
      if (same == 0) break;  // cannot happen: past the common blocks one side has unmatched ones
      continue;
    }
    std::vector<std::string_view> removed, added;
    for (std::size_t k = i; k < i2; ++k) removed.push_back(a[result.blockLineA[k]]);
    for (std::size_t k = j; k < j2; ++k) added.push_back(b[result.blockLineB[k]]);
    std::size_t x = i, y = j;
    for (HunkStep step : PairHunk(removed, added, options)) {
      if (step == HunkStep::Pair) {
        add(CompareKind::Changed, x++, y++, 1);
        ++result.changed;
      } else if (step == HunkStep::Remove) {
        add(CompareKind::Removed, x++, y, 1);
        ++result.removed;
      } else {
        add(CompareKind::Added, x, y++, 1);
        ++result.added;
      }
    }
    i = i2;
    j = j2;
  }
  return result;
}

CompareResult CompareTexts(std::string_view a, std::string_view b, const CompareOptions& options) {
  return CompareLines(SplitTextLines(a), SplitTextLines(b), options);
}

std::string CompareSummaryText(const CompareResult& result) {
  return "変更 " + std::to_string(result.changed) + " ブロック、追加 " + std::to_string(result.added) + "、削除 " +
         std::to_string(result.removed);
}

}  // namespace quelvo
