// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Searching the document for a text, forward or backward from the caret, with
// letter case ignored. The document is handed over as one contiguous run of bytes
// (the editor's own buffer, UTF-8, lines ended by CR LF, LF or CR), so that a
// search over a 100 MB program neither copies it nor splits it into lines.
// Positions are byte offsets into that run: a CR LF line end counts two, which is
// the editor's own position model.
#include <cstddef>
#include <optional>
#include <string_view>

namespace quelvo {

enum class FindDirection { Down, Up };

struct EditorSelection {
  std::size_t start = 0;   // selection start (the caret when nothing is selected)
  std::size_t length = 0;  // selected bytes
};

// Returns the start of the match to select, or nothing when the text does not
// occur in the searched part.
//  Down: from the end of the selection, so a match that is still selected is
//        skipped and repeated searches walk through the occurrences.
//  Up:   the last match that begins before the selection start: on the caret's
//        line before the caret, else the last match on the nearest earlier line
//        that holds the text.
// Letters are compared without regard to case (ASCII letters; every other byte,
// UTF-8 sequences included, must be equal). A match never spans a line end, and
// an empty text is never found.
std::optional<std::size_t> FindInDocument(std::string_view document, std::string_view text,
                                          FindDirection direction, EditorSelection selection);

// How many lines the editor scrolls so that a match on matchLine (counted from 0)
// becomes the second visible line, or the first when it is the first line of
// the text.
int LinesToScrollForMatch(int matchLine, int firstVisibleLine);

}  // namespace quelvo
