// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/compare/CompareRows.h"

namespace quelvo {

namespace {

class RowBuilder {
 public:
  RowBuilder(std::vector<CompareRow>& rows, std::size_t linesA, std::size_t linesB)
      : rows_(rows), linesA_(static_cast<std::int64_t>(linesA)), linesB_(static_cast<std::int64_t>(linesB)) {}

  // The ignored lines before line `a` of the first program and line `b` of the second.
  void IgnoredUpTo(std::int64_t a, std::int64_t b) {
    while (nextA_ < a && nextB_ < b) rows_.push_back({RowKind::Ignored, nextA_++, nextB_++});
    while (nextA_ < a) rows_.push_back({RowKind::Ignored, nextA_++, -1});
    while (nextB_ < b) rows_.push_back({RowKind::Ignored, -1, nextB_++});
  }
  void Row(RowKind kind, std::int64_t a, std::int64_t b) {
    IgnoredUpTo(a < 0 ? nextA_ : a, b < 0 ? nextB_ : b);
    rows_.push_back({kind, a, b});
    if (a >= 0) nextA_ = a + 1;
    if (b >= 0) nextB_ = b + 1;
  }
  void Finish() { IgnoredUpTo(linesA_, linesB_); }

 private:
  std::vector<CompareRow>& rows_;
  std::int64_t linesA_, linesB_;
  std::int64_t nextA_ = 0, nextB_ = 0;
};

}  // namespace

std::vector<CompareRow> AlignedRows(const CompareResult& result, std::size_t linesA, std::size_t linesB) {
  std::vector<CompareRow> rows;
  rows.reserve(std::max(linesA, linesB) + result.added + result.removed);
  RowBuilder builder(rows, linesA, linesB);
  for (const CompareRun& run : result.runs) {
    for (std::size_t k = 0; k < run.count; ++k) {
      switch (run.kind) {
        case CompareKind::Same:
        case CompareKind::Changed:
          builder.Row(run.kind == CompareKind::Same ? RowKind::Same : RowKind::Changed,
                      result.blockLineA[run.a + k], result.blockLineB[run.b + k]);
          break;
        case CompareKind::Added:
          builder.Row(RowKind::Added, -1, result.blockLineB[run.b + k]);
          break;
        case CompareKind::Removed:
          builder.Row(RowKind::Removed, result.blockLineA[run.a + k], -1);
          break;
      }
    }
  }
  builder.Finish();
  return rows;
}

std::vector<std::size_t> ChangeStarts(const std::vector<CompareRow>& rows) {
  auto isChange = [](RowKind kind) { return kind == RowKind::Changed || kind == RowKind::Added || kind == RowKind::Removed; };
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < rows.size(); ++i)
    if (isChange(rows[i].kind) && (i == 0 || !isChange(rows[i - 1].kind))) starts.push_back(i);
  return starts;
}

}  // namespace quelvo
