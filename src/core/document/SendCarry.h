// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which characters of a document line the active setting's send code cannot
// carry to the control, so the editor can mark them before a send loses them.
// A character is lost when CP932 has no form for it (it would go out as "?"),
// when ISO (seven bits) meets a byte with the top bit set, or when EIA has no
// code for one of its bytes (EIA leaves such a byte out). Characters the send
// never writes are never marked: tabs, "%" outside comments, and, while
// comments are cut, everything from ";" or "'" outside parentheses on.
#include <cstddef>
#include <string_view>
#include <vector>

#include "core/transfer/TapeCode.h"

namespace quelvo {

// Bytes [begin, end) of the text that was looked at.
struct ByteRange {
  std::size_t begin = 0;
  std::size_t end = 0;
  bool operator==(const ByteRange& o) const { return begin == o.begin && end == o.end; }
};

struct SendCarryRule {
  TapeCode code = TapeCode::ISO;  // the send code of the active setting
  bool cutComments = true;        // ProgramOptions::cutComments
};

// The characters of UTF-8 text (any number of lines; CR and LF end a line)
// that `rule` cannot carry, as ranges whole characters long, adjacent ones
// merged; appended to `out`.
void FindUncarried(std::string_view text, const SendCarryRule& rule, std::vector<ByteRange>& out);

}  // namespace quelvo
