// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/editor/NcLexer.h"

#include <Qsci/qsciscintilla.h>

#include <algorithm>
#include <string_view>

#include "core/document/NcSyntax.h"
#include "core/document/SyntaxColors.h"

namespace quelvo {

namespace {

// Text is styled in pieces of about this many bytes (whole lines), so that
// styling a long stretch never copies all of it at once.
constexpr long kPieceBytes = 1 << 20;
// Text at least this far above what is shown is left as a gap, not styled.
constexpr long kGapBytes = 64 << 10;

Rgb ToRgb(const QColor& c) {
  return Rgb{static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
             static_cast<std::uint8_t>(c.blue())};
}

QColor ToQColor(const Rgb& c) { return QColor(c.r, c.g, c.b); }

bool IsNcStyle(int style) { return style >= 0 && style < kNcStyleCount; }

}  // namespace

NcLexer::NcLexer(QObject* parent) : QsciLexerCustom(parent), text_(Qt::black), paper_(Qt::white) {}

QString NcLexer::description(int style) const {
  static const char* const kNames[kNcStyleCount] = {
      "Default", "Program number", "Sequence number", "G code", "M code",
      "Axis word", "F S T H D word", "Comment", "Percent", "Macro"};
  return IsNcStyle(style) ? QString(kNames[style]) : QString();
}

QColor NcLexer::color(int style) const {
  if (!IsNcStyle(style)) return text_;
  return ToQColor(SyntaxColor(static_cast<NcStyle>(style), ToRgb(paper_), ToRgb(text_)));
}

QColor NcLexer::paper(int) const { return paper_; }
QFont NcLexer::font(int) const { return font_; }

void NcLexer::setEditor(QsciScintilla* editor) {
  if (QsciScintilla* old = this->editor()) disconnect(old, nullptr, this, nullptr);
  QsciLexerCustom::setEditor(editor);
  gaps_.clear();
  if (editor != nullptr) {
    connect(editor, &QsciScintillaBase::SCN_PAINTED, this, &NcLexer::StyleShownGaps);
    editor->SendScintilla(QsciScintillaBase::SCI_INDICSETSTYLE, kUncarriedIndicator, QsciScintillaBase::INDIC_SQUIGGLE);
    ApplyLookToEditor();
  }
}

void NcLexer::SetLook(const QFont& font, const QColor& text, const QColor& paper) {
  font_ = font;
  text_ = text;
  paper_ = paper;
  ApplyLookToEditor();
}

void NcLexer::ApplyLookToEditor() {
  QsciScintilla* ed = editor();
  if (ed == nullptr) return;
  const int styles[] = {QsciScintillaBase::STYLE_DEFAULT, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  static_assert(sizeof styles / sizeof styles[0] == kNcStyleCount + 1, "every NC style and the default");
  for (int style : styles) {
    emit fontChanged(font_, style);
    emit colorChanged(color(style), style);
    emit paperChanged(paper_, style);
  }
  ed->SendScintilla(QsciScintillaBase::SCI_INDICSETFORE, kUncarriedIndicator, ToQColor(UncarriedMarkColor(ToRgb(paper_))));
}

void NcLexer::SetCarryRule(const SendCarryRule& rule) {
  if (rule.code == rule_.code && rule.cutComments == rule_.cutComments) return;
  rule_ = rule;
  Restyle();
}

void NcLexer::Restyle() {
  if (editor() == nullptr) return;
  styleText(0, static_cast<int>(ShownRange().end));
  editor()->viewport()->update();
}

NcLexer::Shown NcLexer::ShownRange() const {
  QsciScintilla* ed = editor();
  const long firstVisual = ed->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
  const long onScreen = ed->SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN);
  const long firstLine = ed->SendScintilla(QsciScintillaBase::SCI_DOCLINEFROMVISIBLE, firstVisual);
  const long lastLine = ed->SendScintilla(QsciScintillaBase::SCI_DOCLINEFROMVISIBLE, firstVisual + onScreen + 1);
  Shown shown{ed->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, firstLine), 0};
  if (lastLine + 1 >= ed->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT)) {
    shown.end = ed->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
  } else {
    shown.end = ed->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, lastLine + 1);
  }
  return shown;
}

// The editor asks from the first line it has not styled up to what it needs.
// Only what it shows is styled: a request beyond the view (a new lexer, a
// recolour of the whole text) stops at the end of the view, and text far
// above the view becomes a gap. The editor asks again when more comes into
// view; gaps are styled when they are shown (StyleShownGaps).
void NcLexer::styleText(int start, int end) {
  if (editor() == nullptr) return;
  // Everything from start on is styled anew (an edit lowers the styled end to
  // its line), so no gap reaches beyond it.
  TrimGaps(start);
  const Shown shown = ShownRange();
  const long stop = std::min<long>(end, std::max<long>(shown.end, start));
  long from = start;
  if (shown.begin - from > kGapBytes && shown.begin < stop) {
    gaps_.push_back({from, shown.begin});
    from = shown.begin;
  }
  StyleRange(from, stop);
}

void NcLexer::TrimGaps(long limit) {
  std::vector<Gap> kept;
  for (Gap g : gaps_) {
    g.end = std::min(g.end, limit);
    if (g.begin < g.end) kept.push_back(g);
  }
  gaps_.swap(kept);
}

// After each paint: the parts of gaps now in view are styled, and the editor's
// styled end is put back where it stood.
void NcLexer::StyleShownGaps() {
  QsciScintilla* ed = editor();
  if (ed == nullptr || gaps_.empty()) return;
  const long styledEnd = ed->SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED);
  TrimGaps(styledEnd);
  const Shown shown = ShownRange();
  std::vector<Gap> kept;
  bool styled = false;
  for (const Gap& g : gaps_) {
    const long from = std::max(g.begin, shown.begin);
    const long to = std::min(g.end, shown.end);
    if (from >= to) {
      kept.push_back(g);
      continue;
    }
    StyleRange(from, to);
    styled = true;
    if (g.begin < from) kept.push_back({g.begin, from});
    if (to < g.end) kept.push_back({to, g.end});
  }
  gaps_.swap(kept);
  if (!styled) return;
  startStyling(static_cast<int>(styledEnd));
  ed->viewport()->update();
}

// Styles and marks [from, to), which starts at a line start, and leaves the
// editor's styled end at `to`.
void NcLexer::StyleRange(long from, long stop) {
  QsciScintilla* ed = editor();
  startStyling(static_cast<int>(from));
  ed->SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, kUncarriedIndicator);
  std::vector<char> text;
  std::vector<NcStyle> styles;
  while (from < stop) {
    long to = std::min(stop, from + kPieceBytes);
    if (to < stop) {
      const long line = ed->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, to);
      const long next = ed->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line + 1);
      to = next > to ? std::min(stop, next) : stop;
    }
    const std::size_t length = static_cast<std::size_t>(to - from);
    text.resize(length + 1);
    ed->SendScintilla(QsciScintillaBase::SCI_GETTEXTRANGE, from, to, text.data());
    const std::string_view piece(text.data(), length);
    styles.resize(length);
    StyleNcText(piece, styles.data());
    ed->SendScintilla(QsciScintillaBase::SCI_SETSTYLINGEX, length, reinterpret_cast<const char*>(styles.data()));

    ed->SendScintilla(QsciScintillaBase::SCI_INDICATORCLEARRANGE, from, static_cast<long>(length));
    marks_.clear();
    FindUncarried(piece, rule_, marks_);
    for (const ByteRange& r : marks_)
      ed->SendScintilla(QsciScintillaBase::SCI_INDICATORFILLRANGE, from + static_cast<long>(r.begin),
                        static_cast<long>(r.end - r.begin));
    from = to;
  }
}

}  // namespace quelvo
