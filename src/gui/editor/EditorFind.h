// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Find in the editor: hands the editor's own buffer to the core search, then
// selects the match and scrolls it to the second visible line.
#include <QString>

#include "core/document/FindText.h"

class QsciScintilla;
class QWidget;

namespace quelvo {

// Runs one search from the editor's selection. On a match: focuses the editor,
// scrolls and selects it, returns true. Without one: changes nothing, returns
// false.
bool FindInEditor(QsciScintilla* editor, const QString& text, FindDirection direction);

// FindInEditor, and on no match the information box "検索文字列が見当たりません！"
// (caption "編集") placed 50 pixels right of and below the owner's top-left.
bool FindInEditorOrTell(QsciScintilla* editor, const QString& text, FindDirection direction,
                        QWidget* owner);

// Scrolls so that the line holding byte position `start` becomes the second
// visible line (the first for the first line of the text), then selects
// `length` bytes from `start`.
void ShowLineInEditor(QsciScintilla* editor, long start, long length);

}  // namespace quelvo
