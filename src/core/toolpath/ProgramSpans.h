// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The programs of a file that holds several: each begins at a line that
// starts with a program number ("O1000", ":1000"); lines before the first
// such line belong to the first program. A file with none is one program.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace quelvo {

struct ProgramSpan {
  size_t begin = 0, end = 0;  // byte range in the text
  int32_t firstLine = 1, lastLine = 1;  // 1-based, inclusive
};

std::vector<ProgramSpan> FindPrograms(std::string_view text);
// The index of the program holding 1-based line `line` (the last one for a
// line past the end).
size_t ProgramAt(const std::vector<ProgramSpan>& spans, int32_t line);

}  // namespace quelvo
