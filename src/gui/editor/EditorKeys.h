// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The keyboard of the document editor: the control's own key map reduced to
// caret movement, selection, the edit commands of the "編集" menu (undo, cut,
// copy, paste, delete, select all), typing keys (Backspace, Return, Tab, Escape)
// and Insert. Everything else the control would bind (case changes, line
// deletion, duplication and transposition, redo, zoom, rectangular selection)
// is removed, so that no key changes the text in a way the menus do not offer.
class QsciScintilla;

namespace quelvo {

void KeepOnlyEditorKeys(QsciScintilla* editor);

}  // namespace quelvo
