// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/document/PrintPages.h"

#include <algorithm>
#include <cstdlib>

namespace quelvo {

int LinesPerPage(int fontPixelHeight) {
  const int h = std::max(1, std::abs(fontPixelHeight));
  return std::max(1, 1027 / h);
}

int PageCount(int lineCount, int linesPerPage) {
  return std::max(0, lineCount) / std::max(1, linesPerPage) + 1;
}

PageLines LinesOfPage(int page, int linesPerPage, int lineCount) {
  const int k = std::max(1, linesPerPage);
  PageLines lines;
  if (page < 1) return PageLines{1, 0};
  lines.first = (page - 1) * k + 1;
  lines.last = std::min(page * k, lineCount);
  return lines;
}

std::string PageJobTitle(const std::string& documentName, int page) {
  return documentName + "[" + std::to_string(page) + "]";
}

}  // namespace quelvo
