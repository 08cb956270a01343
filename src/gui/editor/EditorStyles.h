// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every attribute of the control's predefined and text styles, read before a
// lexer takes them over and written back when it lets go: detaching a lexer
// resets all styles to the control's defaults (brace, control character and
// call tip styles included), which is not the look the editor had.
#include <QByteArray>
#include <array>
#include <vector>

class QsciScintillaBase;

namespace quelvo {

struct EditorStyle {
  std::array<long, 12> values{};  // by the attribute table in EditorStyles.cpp
  QByteArray font;
};

using EditorStyles = std::vector<EditorStyle>;  // styles 0 .. STYLE_LASTPREDEFINED

EditorStyles SaveEditorStyles(const QsciScintillaBase& editor);
void RestoreEditorStyles(QsciScintillaBase& editor, const EditorStyles& styles);

}  // namespace quelvo
