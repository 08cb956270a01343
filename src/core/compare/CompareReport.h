// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A compare result as text for a terminal or a script.
//
// Text: a header naming both files, then each stretch of differences with a
// "@@ A:LINE,COUNT B:LINE,COUNT @@" line and its blocks, "-" for the first
// program's, "+" for the second's, each named FILE:LINE; a changed block shows
// its old line and then its new one. The summary line comes last.
//
//   --- a.nc
//   +++ b.nc
//   @@ a.nc:12,1 b.nc:12,2 @@
//   -a.nc:12: N120 G01 X10. Y20.
//   +b.nc:12: N120 G01 X10. Y25.
//   +b.nc:13: N125 M08
//   変更 1 ブロック、追加 1、削除 0
//
// JSON: {"a", "b", "same", "changed", "added", "removed", "summary", "blocks":
// [{"kind": "changed"|"added"|"removed", "a": {"line", "text", "words"},
// "b": {...}}]}; lines count from 1, "words" are the changed words of a changed
// block as [first, end) byte offsets into the UTF-8 text.
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "core/compare/ProgramCompare.h"

namespace quelvo {

struct ComparedProgram {
  std::string name;  // as the report names it (the path given)
  std::vector<std::string_view> lines;
};

void WriteCompareText(const ComparedProgram& a, const ComparedProgram& b, const CompareResult& result,
                      std::ostream& out);
void WriteCompareJson(const ComparedProgram& a, const ComparedProgram& b, const CompareResult& result,
                      const CompareOptions& options, std::ostream& out);

// A program file read for comparing: CP932 or UTF-8 ASCII, any line ends, as the
// window opens it (a file with a zero byte first is read line by line). False
// with the system's reason when it cannot be read.
bool ReadProgramFile(const std::string& path, std::string& text, std::string& error);

}  // namespace quelvo
