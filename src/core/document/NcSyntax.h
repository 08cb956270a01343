// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Classifies the bytes of a word-address NC program for the editor's syntax
// colours. Each line is read on its own (an NC comment or expression never
// spans a line end), so any run of whole lines can be styled without looking
// at the text before it.
#include <cstdint>
#include <string_view>

namespace quelvo {

enum class NcStyle : std::uint8_t {
  Default,        // anything else: P Q L E words, "/", ";", blanks, line ends
  ProgramNumber,  // "O1000", ":1000"
  Sequence,       // "N10"
  GCode,          // "G01", "G43.1"
  MCode,          // "M30"
  Axis,           // X Y Z A B C U V W I J K R words
  Word,           // F S T H D words
  Comment,        // "(" to ")" or to the end of the line
  Percent,        // "%" (tape start and end)
  Macro,          // "#" variables, "[ ]" expressions, IF/GOTO/WHILE statements
};
constexpr int kNcStyleCount = 10;

// Styles line (no line end in it): out[i] for line[i], out holds line.size().
// Lower-case letters read as their capitals; the bytes of a character beyond
// ASCII share one style.
void StyleNcLine(std::string_view line, NcStyle* out);

// Styles text of any number of lines: CR, LF and CR LF end a line and are
// styled Default. out holds text.size().
void StyleNcText(std::string_view text, NcStyle* out);

}  // namespace quelvo
