// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The document's lines as the editor holds them: the snapshot a send is
// handed at its start. A line ends at CR LF, a lone CR or a lone
// LF, as in the editor control, and a line end always opens a further line: a
// text that ends with a line break has an empty last line, and an empty text is
// one empty line. The send engine's arithmetic (the text's length − 1 is the
// amount to send, every line counts its length + 2) rests on this.
//
// CR LF and a lone CR are taken off the line; a lone LF stays on it, because
// the send engine turns it into a CR (in the snapshot, and the window in its
// editor) before it sends the line.
#include <string>
#include <string_view>
#include <vector>

namespace quelvo {

std::vector<std::string> DocumentLines(std::string_view text);

// What the editor does when the send engine replaces the lone line feed that
// ends line `index` by a carriage return: the CR still ends the line and, like
// every CR, is taken off it, so the line then reads without the LF. Lines
// without a lone final LF, and indexes out of range, are left alone.
void ReplaceFinalLineFeed(std::vector<std::string>& lines, int index);

}  // namespace quelvo
