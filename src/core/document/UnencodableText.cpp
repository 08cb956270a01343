// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/document/UnencodableText.h"

namespace quelvo {

std::string UnencodableQuestion(const std::vector<UnencodableLine>& lines) {
  std::string text = "次の文字は Shift-JIS で表せないため、保存すると「?」になります。\n\n";
  for (std::size_t i = 0; i < lines.size() && i < kUnencodableLinesShown; ++i) {
    text += std::to_string(lines[i].line) + "行目:";
    for (const std::string& character : lines[i].characters) text += " " + character;
    text += "\n";
  }
  if (lines.size() > kUnencodableLinesShown)
    text += "ほか " + std::to_string(lines.size() - kUnencodableLinesShown) + " 行\n";
  return text + "\nこのまま保存しますか？";
}

}  // namespace quelvo
