// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Page arithmetic of printing by page numbers: a page holds a fixed number of
// document lines derived from the editor font's height, so that the page
// numbers offered in the print dialog correspond to runs of lines.
#include <string>

namespace quelvo {

struct PageLines {
  int first = 1;  // first document line of the page, counted from 1
  int last = 0;   // last line; last < first for a page past the end of the text
  bool empty() const { return last < first; }
};

// Lines per page: 1027 / |fontPixelHeight| (integer division), at least 1 so
// that very large or unknown (0) font heights still give usable pages.
int LinesPerPage(int fontPixelHeight);
// Pages offered: lineCount / linesPerPage + 1.
int PageCount(int lineCount, int linesPerPage);
// Lines (p - 1) * k + 1 to p * k of page p, stopping at the last line.
PageLines LinesOfPage(int page, int linesPerPage, int lineCount);
// Job title of one page of a page range: the document name + "[" + page + "]".
std::string PageJobTitle(const std::string& documentName, int page);

}  // namespace quelvo
