// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Line structure of document text. A line end is CR LF, a lone LF or a lone CR,
// the same three the editor control recognises, so what the user sees as a line
// is what these routines treat as one.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quelvo {

// The lines of a text without their line ends. A line end at the very end of the
// text does not open a further, empty line ("A\r\nB\r\n" holds two lines).
std::vector<std::string_view> SplitTextLines(std::string_view text);

// Bytes that making every line end CR LF would add; 0 when all are CR LF already.
std::size_t MissingCrLfBytes(std::string_view text);

// A copy of text with every line end made CR LF.
std::string WithCrLfLineEnds(std::string_view text);

// Makes every line end CR LF. Changes the string only when some line end is not
// CR LF already, so a document that is CR LF throughout is neither copied nor moved.
void NormalizeLineEndsToCrLf(std::string& text);

}  // namespace quelvo
