// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/document/ProgramList.h"

#include "core/document/TextLines.h"

namespace quelvo {

bool IsProgramStartLine(std::string_view line) {
  return !line.empty() && (line[0] == 'O' || line[0] == ':' || line[0] == 'L');
}

std::string ProgramName(std::string_view startLine) {
  std::string name(startLine.substr(0, startLine.find('(')));
  if (!name.empty() && name[0] == ':') name[0] = 'O';
  return name;
}

std::vector<ProgramListItem> BuildProgramList(std::string_view documentText) {
  const std::vector<std::string_view> lines = SplitTextLines(documentText);
  std::vector<ProgramListItem> items;
  for (std::size_t k = 0; k + 1 < lines.size(); ++k) {
    if (IsProgramStartLine(lines[k])) items.push_back({std::string(lines[k]), true});
  }
  return items;
}

SkipList BuildSkipList(const std::vector<ProgramListItem>& items) {
  SkipList list;
  for (const ProgramListItem& item : items) {
    if (item.checked)
      ++list.checkedCount;
    else
      list.SkipLines.push_back(item.text);
  }
  return list;
}

}  // namespace quelvo
