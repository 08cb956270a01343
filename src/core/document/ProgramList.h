// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The programs of a document, as listed in the split-save and selective-send
// dialog. A program starts on a line whose first character is "O", ":" or "L".
#include <string>
#include <string_view>
#include <vector>

namespace quelvo {

struct ProgramListItem {
  std::string text;      // the whole program start line
  bool checked = true;
};

bool IsProgramStartLine(std::string_view line);

// The start line up to its first "(", with a leading ":" read as "O"
// ("O1000(PART A)" -> "O1000", ":0012" -> "O0012").
std::string ProgramName(std::string_view startLine);

// One checked item for each program start line of the document, in order; the
// document's last line is not listed.
std::vector<ProgramListItem> BuildProgramList(std::string_view documentText);

// What a selective send leaves out: the texts of the unchecked items in list
// order (SkipCount is their number).
struct SkipList {
  std::vector<std::string> SkipLines;
  int checkedCount = 0;  // 0: there is nothing to send
  int SkipCount() const { return static_cast<int>(SkipLines.size()); }
};

SkipList BuildSkipList(const std::vector<ProgramListItem>& items);

}  // namespace quelvo
