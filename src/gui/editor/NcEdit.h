// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The editor control of the document and of the log view: QScintilla in UTF-8
// mode with CR LF line ends. Typed letters a to z are upper-cased before they
// reach the text (when upper-casing is on); pasted and loaded text is not.
// Key and mouse events are reported after the control has handled them.
#include <Qsci/qsciscintilla.h>

#include <functional>
#include <vector>

#include "core/document/SendCarry.h"
#include "gui/editor/EditorStyles.h"

class QAction;

namespace quelvo {

class NcLexer;

class NcEdit : public QsciScintilla {
  Q_OBJECT
 public:
  explicit NcEdit(QWidget* parent = nullptr);

  void SetUpperCaseTyping(bool on) { upperCase_ = on; }

  // The modified flag of the document: set by every change of the text and
  // cleared only by setModified(false). These hide the control's own, which
  // follows its undo history: undoing back to the saved text would clear it
  // although the user has edited, and Save would then write nothing.
  bool isModified() const { return modified_; }
  void setModified(bool modified);

  // The right-click menu: these actions (nullptr for a separator). `opening`
  // runs just before it opens and returns false when no menu may open. With no
  // actions set the control shows no menu.
  void SetContextMenu(std::vector<QAction*> actions, std::function<bool()> opening);

  long SelectionStart() const;
  long SelectionEnd() const;
  long LineOfPosition(long pos) const;
  long LineStart(long line) const;
  long CharactersBetween(long from, long to) const;

  // Caret: a thin line in insert mode, a block in overwrite mode.
  void SetCaretShape(bool overwrite);
  bool BlockCaret() const;
  void SetHorizontalScrollBar(bool on);
  void SetSideMargins(int pixels);  // blank space left and right of the text

  // NC syntax colours (NcLexer), off unless turned on. Off, the control has no
  // lexer and shows its font and colours as it always did; turning them off
  // again restores exactly that look.
  void SetSyntaxColors(bool on);
  bool SyntaxColors() const { return lexer_ != nullptr; }
  // The send code whose uncarried characters the syntax colours mark.
  void SetSendCarryRule(const SendCarryRule& rule);
  NcLexer* SyntaxLexer() const { return lexer_; }

  // The user's font, text colour and background, whether or not the syntax
  // colours are on (a lexer would otherwise take them over).
  void setFont(const QFont& font);
  void setColor(const QColor& color) override;
  void setPaper(const QColor& color) override;
  QColor color() const { return text_; }
  QColor paper() const { return paper_; }
  // The text colour as shown, default style and caret: the stored one where it
  // reads on the background, else its hue made readable (SyntaxColors.h).
  QColor ShownTextColor() const;

 signals:
  void KeyEvent(int key, bool pressed);
  void MouseEvent();
  void ModifiedChanged(bool modified);

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void inputMethodEvent(QInputMethodEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;

 private:
  bool upperCase_ = false;
  bool modified_ = false;
  std::vector<QAction*> contextActions_;
  std::function<bool()> contextOpening_;
  NcLexer* lexer_ = nullptr;
  SendCarryRule carryRule_;
  QColor text_;
  QColor paper_;
  bool detachingLexer_ = false;

  void ShowTextColor();
  EditorStyles stylesBeforeLexer_;
};

}  // namespace quelvo
