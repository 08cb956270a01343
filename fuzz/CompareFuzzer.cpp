// SPDX-License-Identifier: GPL-3.0-or-later
// The program compare on any two texts (the input split at its first zero
// byte; the first byte picks the options): the aligned rows show every line
// of both texts once and in order, the counts agree with the rows, changed
// words lie inside their blocks, and a text compared with itself is the same.
#include <string_view>

#include "FuzzCheck.h"
#include "core/compare/ChangedWords.h"
#include "core/compare/CompareRows.h"
#include "core/compare/ProgramCompare.h"
#include "core/document/TextLines.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const unsigned bits = data[0];
  const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
  const size_t cut = input.find('\0');
  const std::string_view a = input.substr(0, cut);
  const std::string_view b = cut == std::string_view::npos ? std::string_view() : input.substr(cut + 1);
  quelvo::CompareOptions o;
  o.ignoreBlanks = bits & 1;
  o.ignoreSequenceNumbers = bits & 2;
  o.numbersByValue = bits & 4;
  o.pointlessInIncrement = bits & 8;
  o.ignoreComments = bits & 16;
  o.ignoreFrame = bits & 32;

  const auto la = quelvo::SplitTextLines(a), lb = quelvo::SplitTextLines(b);
  const quelvo::CompareResult r = quelvo::CompareLines(la, lb, o);
  const auto rows = quelvo::AlignedRows(r, la.size(), lb.size());
  int64_t nextA = 0, nextB = 0;
  size_t changed = 0, added = 0, removed = 0;
  for (const quelvo::CompareRow& row : rows) {
    if (row.lineA >= 0) quelvo::fuzz::Check(row.lineA == nextA++, "every line of a once, in order");
    if (row.lineB >= 0) quelvo::fuzz::Check(row.lineB == nextB++, "every line of b once, in order");
    changed += row.kind == quelvo::RowKind::Changed;
    added += row.kind == quelvo::RowKind::Added;
    removed += row.kind == quelvo::RowKind::Removed;
    if (row.kind == quelvo::RowKind::Changed) {
      const auto marks = quelvo::MarkChangedWords(la[row.lineA], lb[row.lineB], o);
      for (const auto& m : marks.a) quelvo::fuzz::Check(m.first < m.second && m.second <= la[row.lineA].size(), "marks inside a");
      for (const auto& m : marks.b) quelvo::fuzz::Check(m.first < m.second && m.second <= lb[row.lineB].size(), "marks inside b");
    }
  }
  quelvo::fuzz::Check(nextA == static_cast<int64_t>(la.size()) && nextB == static_cast<int64_t>(lb.size()),
                      "all lines shown");
  quelvo::fuzz::Check(changed == r.changed && added == r.added && removed == r.removed, "counts agree with rows");
  quelvo::fuzz::Check(quelvo::CompareLines(la, la, o).Same(), "a text is the same as itself");
  return 0;
}
