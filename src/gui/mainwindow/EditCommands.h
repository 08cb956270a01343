// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The document as the main window shows and edits it: the window titles, the
// editor's status fields (size, caret, modified mark, insert mode, selection),
// the editor's font and colours, what the editor's own events change, and the
// commands of the "編集" menu with their tool buttons. The main window owns one.
#include <QColor>
#include <QFont>
#include <functional>

class QWidget;

namespace quelvo {

class MainWindow;

// The font and colour choosers of the edit commands; each returns false when
// cancelled. Tests replace them.
struct EditorDialogs {
  std::function<bool(QWidget* parent, QFont& font)> ChooseFont;
  std::function<bool(QWidget* parent, QColor& color)> ChooseColor;
};

class EditCommands {
 public:
  explicit EditCommands(MainWindow& window);

  EditorDialogs Dialogs;

  // ---- Titles ----
  void SetNewDocumentTitle();
  void SetEditTitle();
  void SetModifiedTitle();
  void SetDiscardedTitle();
  void SetReceiveTitle();

  // ---- Status fields and look ----
  void FormatFileSize(double size);
  void UpdateCaretPosition();
  void RecreateCaret();
  void UpdateFontItemCaption();
  void ApplyEditorLook();  // font and colours from Settings.editor
  void ApplyEditorFont(const QFont& font);
  void ApplyEditorColors();
  QColor EditorTextColor() const;
  QColor EditorBackgroundColor() const;
  void UpdateSideMargins();
  int CharHeightPixels() const;
  void ToggleInsertMode();

  // ---- The editor's events ----
  void EditorChanged();
  void EditorKey(int key, bool pressed);
  void EditorClicked();
  void EditorSelectionChanged();

  // ---- "編集" ----
  void EditMenuClick();  // the menu opens: its items follow the undo history and the selection
  void EditUndoClick();
  void EditCutClick();
  void EditCopyClick();
  void EditPasteClick();
  void EditDeleteClick();
  void EditAllClick();
  void EditDateClick();
  void EditWrapClick();
  void EditFontClick();
  void screen_colorClick();
  void font_colorClick();

 private:
  MainWindow& w_;
};

}  // namespace quelvo
