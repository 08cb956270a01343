// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A compare result laid out as rows side by side, as the compare window shows
// it: every line of both programs once, a pair of same or changed blocks on
// one row, an added or removed block opposite a gap, and the lines that took
// no part (ignored by the options) opposite each other or a gap.
#include <cstdint>
#include <vector>

#include "core/compare/ProgramCompare.h"

namespace quelvo {

enum class RowKind : std::uint8_t { Same, Changed, Added, Removed, Ignored };

struct CompareRow {
  RowKind kind = RowKind::Same;
  std::int64_t lineA = -1, lineB = -1;  // 0-based; -1: a gap on that side
};

std::vector<CompareRow> AlignedRows(const CompareResult& result, std::size_t linesA, std::size_t linesB);

// Indices of the rows where a change starts (a changed, added or removed row
// after a row that is not one): the stops of "next change" and "previous change".
std::vector<std::size_t> ChangeStarts(const std::vector<CompareRow>& rows);

}  // namespace quelvo
