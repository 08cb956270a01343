// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The NC syntax colours of the document editor: a container lexer that styles
// only the range the editor asks for (the lines it is about to show), through
// the core's NC tokenizer, and underlines in red the characters the active
// setting's send code cannot carry. The editor asks from the first line it has
// not styled: after a jump far down (the end of a 100 MB program) the text
// between is left as a gap and styled only when it comes into view. The default style keeps the user's font,
// text colour and background; the other styles take their colours from
// SyntaxColor for that background.
#include <Qsci/qscilexercustom.h>

#include <QColor>
#include <QFont>
#include <vector>

#include "core/document/SendCarry.h"

namespace quelvo {

class NcLexer : public QsciLexerCustom {
  Q_OBJECT
 public:
  // The indicator that marks uncarried characters (the first one free for
  // containers).
  static constexpr int kUncarriedIndicator = 8;

  explicit NcLexer(QObject* parent = nullptr);

  const char* language() const override { return "NC"; }
  QString description(int style) const override;
  QColor color(int style) const override;
  QColor paper(int style) const override;
  QFont font(int style) const override;
  QColor defaultColor(int style) const override { return color(style); }
  QColor defaultPaper(int style) const override { return paper(style); }
  QFont defaultFont(int style) const override { return font(style); }

  void styleText(int start, int end) override;
  void setEditor(QsciScintilla* editor) override;

  // The user's font and colours; every style follows at once.
  void SetLook(const QFont& font, const QColor& text, const QColor& paper);
  // The send code whose uncarried characters are marked; the marks are redone.
  void SetCarryRule(const SendCarryRule& rule);
  // Styles and marks are redone from the start of the document up to what is shown.
  void Restyle();

  // Unstyled stretches below the editor's styled end (tests look at these).
  struct Gap {
    long begin;
    long end;
  };
  const std::vector<Gap>& Gaps() const { return gaps_; }

 private:
  struct Shown {
    long begin;  // start of the first line shown
    long end;    // end of the last line shown, with a line to spare
  };
  Shown ShownRange() const;
  void ApplyLookToEditor();
  void StyleRange(long from, long to);
  void TrimGaps(long limit);
  void StyleShownGaps();

  QFont font_;
  QColor text_;
  QColor paper_;
  SendCarryRule rule_;
  std::vector<ByteRange> marks_;  // reused by styleText
  std::vector<Gap> gaps_;
};

}  // namespace quelvo
