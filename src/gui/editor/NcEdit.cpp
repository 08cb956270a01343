// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/editor/NcEdit.h"

#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>

#include "core/document/SyntaxColors.h"
#include "core/document/UpperCaseInput.h"
#include "gui/editor/EditorAccessibility.h"
#include "gui/editor/EditorKeys.h"
#include "gui/editor/NcLexer.h"

namespace quelvo {

namespace {
QString UpperCased(const QString& text) {
  return QString::fromStdString(UpperCaseTyped(text.toStdString()));
}
}  // namespace

NcEdit::NcEdit(QWidget* parent)
    : QsciScintilla(parent), text_(QsciScintilla::color()), paper_(QsciScintilla::paper()) {
  InstallEditorAccessibility();
  setUtf8(true);
  setEolMode(EolWindows);
  setWrapMode(WrapNone);
  setMarginWidth(0, 0);
  setMarginWidth(1, 0);
  setMarginWidth(2, 0);
  SendScintilla(SCI_SETCARETWIDTH, 1);
  // The horizontal scroll range follows the longest line shown, not a fixed width.
  SendScintilla(SCI_SETSCROLLWIDTH, 1);
  SendScintilla(SCI_SETSCROLLWIDTHTRACKING, 1);
  SetCaretShape(false);
  KeepOnlyEditorKeys(this);
  // Connected before anyone else, so the flag is set when others hear of the change.
  connect(this, &QsciScintilla::textChanged, this, [this] { setModified(true); });
}

void NcEdit::setModified(bool modified) {
  if (!modified) QsciScintilla::setModified(false);  // the control's save point agrees
  if (modified == modified_) return;
  modified_ = modified;
  emit ModifiedChanged(modified);
}

void NcEdit::SetContextMenu(std::vector<QAction*> actions, std::function<bool()> opening) {
  contextActions_ = std::move(actions);
  contextOpening_ = std::move(opening);
}

long NcEdit::SelectionStart() const { return SendScintilla(SCI_GETSELECTIONSTART); }
long NcEdit::SelectionEnd() const { return SendScintilla(SCI_GETSELECTIONEND); }
long NcEdit::LineOfPosition(long pos) const { return SendScintilla(SCI_LINEFROMPOSITION, pos); }
long NcEdit::LineStart(long line) const { return SendScintilla(SCI_POSITIONFROMLINE, line); }
long NcEdit::CharactersBetween(long from, long to) const {
  return SendScintilla(SCI_COUNTCHARACTERS, from, to);
}

void NcEdit::SetCaretShape(bool overwrite) {
  SendScintilla(SCI_SETCARETSTYLE, overwrite ? CARETSTYLE_BLOCK : CARETSTYLE_LINE);
}

bool NcEdit::BlockCaret() const { return SendScintilla(SCI_GETCARETSTYLE) == CARETSTYLE_BLOCK; }

void NcEdit::SetHorizontalScrollBar(bool on) { SendScintilla(SCI_SETHSCROLLBAR, on ? 1 : 0); }

void NcEdit::SetSideMargins(int pixels) {
  SendScintilla(SCI_SETMARGINLEFT, 0, pixels);
  SendScintilla(SCI_SETMARGINRIGHT, 0, pixels);
}

void NcEdit::SetSyntaxColors(bool on) {
  if (on == SyntaxColors()) return;
  if (on) {
    stylesBeforeLexer_ = SaveEditorStyles(*this);
    lexer_ = new NcLexer(this);
    lexer_->SetCarryRule(carryRule_);
    lexer_->SetLook(font(), text_, paper_);
    setLexer(lexer_);
    return;
  }
  // Detaching resets every style to the control's defaults and then sets the
  // colours it remembers from before the lexer (text_ and paper_ are the
  // current ones). The styles as they were come back, then the user's font and
  // colours as they are now, set as they always are.
  detachingLexer_ = true;
  setLexer(nullptr);
  detachingLexer_ = false;
  delete lexer_;
  lexer_ = nullptr;
  SendScintilla(SCI_CLEARDOCUMENTSTYLE);
  SendScintilla(SCI_SETINDICATORCURRENT, NcLexer::kUncarriedIndicator);
  SendScintilla(SCI_INDICATORCLEARRANGE, 0UL, SendScintilla(SCI_GETLENGTH));
  RestoreEditorStyles(*this, stylesBeforeLexer_);
  QsciScintilla::setFont(font());
  QsciScintilla::setPaper(paper_);
  ShowTextColor();
}

QColor NcEdit::ShownTextColor() const {
  if (!text_.isValid() || !paper_.isValid()) return text_;
  const auto rgb = [](const QColor& c) {
    return Rgb{static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
               static_cast<std::uint8_t>(c.blue())};
  };
  const Rgb shown = ReadableTextColor(rgb(text_), rgb(paper_));
  return QColor(shown.r, shown.g, shown.b);
}

void NcEdit::ShowTextColor() {
  const QColor shown = ShownTextColor();
  QsciScintilla::setColor(shown);
  if (shown.isValid()) setCaretForegroundColor(shown);
}

void NcEdit::SetSendCarryRule(const SendCarryRule& rule) {
  carryRule_ = rule;
  if (lexer_ != nullptr) lexer_->SetCarryRule(rule);
}

void NcEdit::setFont(const QFont& font) {
  QsciScintilla::setFont(font);
  if (lexer_ == nullptr) return;
  QWidget::setFont(font);
  lexer_->SetLook(font, text_, paper_);
}

void NcEdit::setColor(const QColor& color) {
  if (!detachingLexer_) text_ = color;
  ShowTextColor();
  if (lexer_ != nullptr) lexer_->SetLook(font(), text_, paper_);
}

void NcEdit::setPaper(const QColor& color) {
  if (!detachingLexer_) paper_ = color;
  QsciScintilla::setPaper(paper_);
  ShowTextColor();
  if (lexer_ != nullptr) lexer_->SetLook(font(), text_, paper_);
}

void NcEdit::keyPressEvent(QKeyEvent* e) {
  const bool typed = !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
  const QString upper = UpperCased(e->text());
  if (upperCase_ && typed && upper != e->text()) {
    QKeyEvent changed(e->type(), e->key(), e->modifiers(), upper, e->isAutoRepeat(), e->count());
    QsciScintilla::keyPressEvent(&changed);
    e->setAccepted(changed.isAccepted());
  } else {
    QsciScintilla::keyPressEvent(e);
  }
  emit KeyEvent(e->key(), true);
}

void NcEdit::keyReleaseEvent(QKeyEvent* e) {
  QsciScintilla::keyReleaseEvent(e);
  emit KeyEvent(e->key(), false);
}

void NcEdit::inputMethodEvent(QInputMethodEvent* e) {
  if (upperCase_ && !e->commitString().isEmpty()) {
    const QString upper = UpperCased(e->commitString());
    if (upper != e->commitString()) {
      QInputMethodEvent changed(e->preeditString(), e->attributes());
      changed.setCommitString(upper, e->replacementStart(), e->replacementLength());
      QsciScintilla::inputMethodEvent(&changed);
      return;
    }
  }
  QsciScintilla::inputMethodEvent(e);
}

void NcEdit::mousePressEvent(QMouseEvent* e) {
  QsciScintilla::mousePressEvent(e);
  emit MouseEvent();
}

void NcEdit::mouseReleaseEvent(QMouseEvent* e) {
  QsciScintilla::mouseReleaseEvent(e);
  emit MouseEvent();
}

void NcEdit::contextMenuEvent(QContextMenuEvent* e) {
  e->accept();
  if (contextActions_.empty() || (contextOpening_ && !contextOpening_())) return;
  QMenu menu(this);
  for (QAction* action : contextActions_) {
    if (action != nullptr)
      menu.addAction(action);
    else
      menu.addSeparator();
  }
  menu.exec(e->globalPos());
}

}  // namespace quelvo
