// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/dialogs/CompareDialog.h"

#include <Qsci/qsciscintilla.h>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

#include "core/compare/ChangedWords.h"
#include "core/compare/ProgramCompare.h"
#include "core/document/TextLines.h"

namespace quelvo {

namespace {

// Markers (line backgrounds) by row kind, and the indicator of changed words.
enum Marker { kSameMarker, kChangedMarker, kAddedMarker, kRemovedMarker, kIgnoredMarker, kGapMarker };
constexpr int kWordIndicator = 8;

void SetUpView(QsciScintilla* view) {
  view->setReadOnly(true);
  view->setUtf8(true);
  view->setEolMode(QsciScintilla::EolUnix);
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  view->setFont(font);
  view->setMarginType(0, QsciScintilla::TextMarginRightJustified);
  view->setMarginWidth(0, QString("0000"));
  // The horizontal scroll bar follows the longest line shown, not a fixed width.
  view->SendScintilla(QsciScintillaBase::SCI_SETSCROLLWIDTH, 1UL);
  view->SendScintilla(QsciScintillaBase::SCI_SETSCROLLWIDTHTRACKING, 1UL);
  view->setMarginWidth(1, 0);
  view->setMarginWidth(2, 0);
  view->setCaretLineVisible(true);
  view->setCaretLineBackgroundColor(QColor(0xdd, 0xe8, 0xf6));
  view->markerDefine(QsciScintilla::Background, kChangedMarker);
  view->setMarkerBackgroundColor(QColor(0xff, 0xf3, 0xb0), kChangedMarker);
  view->markerDefine(QsciScintilla::Background, kAddedMarker);
  view->setMarkerBackgroundColor(QColor(0xcc, 0xf2, 0xcc), kAddedMarker);
  view->markerDefine(QsciScintilla::Background, kRemovedMarker);
  view->setMarkerBackgroundColor(QColor(0xfa, 0xd0, 0xd0), kRemovedMarker);
  view->markerDefine(QsciScintilla::Background, kGapMarker);
  view->setMarkerBackgroundColor(QColor(0xe4, 0xe4, 0xe4), kGapMarker);
  view->markerDefine(QsciScintilla::Background, kIgnoredMarker);
  view->setMarkerBackgroundColor(QColor(0xf6, 0xf6, 0xf6), kIgnoredMarker);
  view->SendScintilla(QsciScintillaBase::SCI_INDICSETSTYLE, kWordIndicator, QsciScintillaBase::INDIC_STRAIGHTBOX);
  view->SendScintilla(QsciScintillaBase::SCI_INDICSETFORE, kWordIndicator, QColor(0xe0, 0x90, 0x00));
  view->SendScintilla(QsciScintillaBase::SCI_INDICSETALPHA, kWordIndicator, 110);
  view->SendScintilla(QsciScintillaBase::SCI_INDICSETUNDER, kWordIndicator, 1);
}

QCheckBox* AddOption(QGridLayout* grid, const char* name, const QString& text, int row, int column) {
  auto* box = new QCheckBox(text);
  box->setObjectName(name);
  grid->addWidget(box, row, column);
  return box;
}

}  // namespace

CompareDialog::CompareDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("CompareDialog");
  setWindowTitle("比較");
  auto* layout = new QVBoxLayout(this);

  auto* options = new QGridLayout;
  ignoreBlanks_ = AddOption(options, "ignoreBlanks", "空白と空行を無視", 0, 0);
  ignoreSequenceNumbers_ = AddOption(options, "ignoreSequenceNumbers", "シーケンス番号(N)を無視", 0, 1);
  ignoreComments_ = AddOption(options, "ignoreComments", "コメントを無視", 0, 2);
  numbersByValue_ = AddOption(options, "numbersByValue", "数値を値で比較 (X10. = X10.0)", 1, 0);
  pointlessInIncrement_ = AddOption(options, "pointlessInIncrement", "小数点のない数値は最小設定単位 (X10 = X0.01)", 1, 1);
  ignoreFrame_ = AddOption(options, "ignoreFrame", "先頭と末尾の % とフィードを無視", 1, 2);
  ignoreBlanks_->setChecked(true);
  layout->addLayout(options);

  auto* sides = new QGridLayout;
  for (int side = 0; side < 2; ++side) {
    headers_[side] = new QLabel;
    headers_[side]->setObjectName(side == 0 ? "leftHeader" : "rightHeader");
    headers_[side]->setTextInteractionFlags(Qt::TextSelectableByMouse);
    views_[side] = new QsciScintilla;
    views_[side]->setObjectName(side == 0 ? "leftView" : "rightView");
    SetUpView(views_[side]);
    sides->addWidget(headers_[side], 0, side);
    sides->addWidget(views_[side], 1, side);
    QsciScintilla* view = views_[side];
    connect(view->verticalScrollBar(), &QScrollBar::valueChanged, this, [this, side] { FollowScroll(side); });
    connect(view->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this, side] { FollowScroll(side); });
    connect(view, &QsciScintilla::cursorPositionChanged, this, [this, side] { FollowScroll(side); });
  }
  layout->addLayout(sides, 1);

  auto* bottom = new QHBoxLayout;
  summary_ = new QLabel;
  summary_->setObjectName("summary");
  previous_ = new QPushButton("前の変更");
  previous_->setObjectName("previousChange");
  next_ = new QPushButton("次の変更");
  next_->setObjectName("nextChange");
  auto* close = new QPushButton("閉じる");
  close->setObjectName("close");
  bottom->addWidget(summary_, 1);
  bottom->addWidget(previous_);
  bottom->addWidget(next_);
  bottom->addWidget(close);
  layout->addLayout(bottom);

  connect(previous_, &QPushButton::clicked, this, &CompareDialog::PreviousChange);
  connect(next_, &QPushButton::clicked, this, &CompareDialog::NextChange);
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  for (QCheckBox* box : {ignoreBlanks_, ignoreSequenceNumbers_, numbersByValue_, pointlessInIncrement_,
                         ignoreComments_, ignoreFrame_})
    connect(box, &QCheckBox::toggled, this, [this] { Recompare(); });
  // The least-increment reading is a way of reading numbers by value.
  connect(pointlessInIncrement_, &QCheckBox::toggled, this, [this](bool on) {
    if (on) numbersByValue_->setChecked(true);
  });
  connect(numbersByValue_, &QCheckBox::toggled, this, [this](bool on) {
    if (!on) pointlessInIncrement_->setChecked(false);
  });
  resize(1000, 640);
}

void CompareDialog::SetPrograms(const QString& nameA, std::string textA, const QString& nameB, std::string textB) {
  names_ = {nameA, nameB};
  texts_ = {std::move(textA), std::move(textB)};
  for (int side = 0; side < 2; ++side) {
    lines_[side] = SplitTextLines(texts_[side]);
    headers_[side]->setText(names_[side]);
  }
  Recompare();
}

CompareOptions CompareDialog::Options() const {
  CompareOptions o;
  o.ignoreBlanks = ignoreBlanks_->isChecked();
  o.ignoreSequenceNumbers = ignoreSequenceNumbers_->isChecked();
  o.numbersByValue = numbersByValue_->isChecked();
  o.pointlessInIncrement = pointlessInIncrement_->isChecked();
  o.ignoreComments = ignoreComments_->isChecked();
  o.ignoreFrame = ignoreFrame_->isChecked();
  return o;
}

void CompareDialog::SetOptions(const CompareOptions& o) {
  const QSignalBlocker blocks[] = {QSignalBlocker(ignoreBlanks_), QSignalBlocker(ignoreSequenceNumbers_),
                                   QSignalBlocker(numbersByValue_), QSignalBlocker(pointlessInIncrement_),
                                   QSignalBlocker(ignoreComments_), QSignalBlocker(ignoreFrame_)};
  ignoreBlanks_->setChecked(o.ignoreBlanks);
  ignoreSequenceNumbers_->setChecked(o.ignoreSequenceNumbers);
  numbersByValue_->setChecked(o.numbersByValue || o.pointlessInIncrement);
  pointlessInIncrement_->setChecked(o.pointlessInIncrement);
  ignoreComments_->setChecked(o.ignoreComments);
  ignoreFrame_->setChecked(o.ignoreFrame);
  Recompare();
}

QString CompareDialog::Summary() const { return summary_->text(); }

int CompareDialog::CurrentRow() const {
  int line = 0, index = 0;
  views_[0]->getCursorPosition(&line, &index);
  return line;
}

void CompareDialog::Recompare() {
  const int keepRow = rows_.empty() ? 0 : CurrentRow();
  const CompareOptions options = Options();
  const CompareResult result = CompareLines(lines_[0], lines_[1], options);
  rows_ = AlignedRows(result, lines_[0].size(), lines_[1].size());
  changeStarts_ = ChangeStarts(rows_);
  summary_->setText(QString::fromStdString(CompareSummaryText(result)));
  for (int side = 0; side < 2; ++side) Fill(side);
  // Changed words: marked in both views, row by row.
  for (std::size_t r = 0; r < rows_.size(); ++r) {
    const CompareRow& row = rows_[r];
    if (row.kind != RowKind::Changed) continue;
    const ChangedWordMarks marks = MarkChangedWords(lines_[0][row.lineA], lines_[1][row.lineB], options);
    for (int side = 0; side < 2; ++side) {
      QsciScintilla* view = views_[side];
      const long start = view->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, static_cast<unsigned long>(r));
      for (const ByteRange& range : side == 0 ? marks.a : marks.b)
        view->SendScintilla(QsciScintillaBase::SCI_INDICATORFILLRANGE, static_cast<unsigned long>(start + static_cast<long>(range.first)),
                            static_cast<long>(range.second - range.first));
    }
  }
  previous_->setEnabled(!changeStarts_.empty());
  next_->setEnabled(!changeStarts_.empty());
  GoToRow(std::min<int>(keepRow, std::max<int>(0, static_cast<int>(rows_.size()) - 1)));
}

void CompareDialog::Fill(int side) {
  QsciScintilla* view = views_[side];
  QByteArray text;
  for (std::size_t r = 0; r < rows_.size(); ++r) {
    const std::int64_t line = side == 0 ? rows_[r].lineA : rows_[r].lineB;
    if (r) text += '\n';
    if (line >= 0) {
      std::string_view s = lines_[side][static_cast<std::size_t>(line)];
      text.append(s.data(), static_cast<int>(s.size()));
    }
  }
  view->setReadOnly(false);
  view->SendScintilla(QsciScintillaBase::SCI_SETTEXT, 0UL, text.constData());
  view->setReadOnly(true);
  view->SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, kWordIndicator);
  view->markerDeleteAll();
  view->setMarginWidth(0, QString(QString::number(lines_[side].size()).size() + 1, '0'));
  view->clearMarginText();
  for (std::size_t r = 0; r < rows_.size(); ++r) {
    const CompareRow& row = rows_[r];
    const std::int64_t line = side == 0 ? row.lineA : row.lineB;
    const int at = static_cast<int>(r);
    if (line < 0) {
      view->markerAdd(at, kGapMarker);
      continue;
    }
    view->setMarginText(at, QString::number(line + 1), 0);
    switch (row.kind) {
      case RowKind::Changed: view->markerAdd(at, kChangedMarker); break;
      case RowKind::Added: view->markerAdd(at, kAddedMarker); break;
      case RowKind::Removed: view->markerAdd(at, kRemovedMarker); break;
      case RowKind::Ignored: view->markerAdd(at, kIgnoredMarker); break;
      case RowKind::Same: break;
    }
  }
}

void CompareDialog::GoToRow(int row) {
  following_ = true;
  for (QsciScintilla* view : views_) {
    view->setCursorPosition(row, 0);
    // A few rows of what comes before stay in sight.
    view->setFirstVisibleLine(std::max(0, row - 3));
  }
  lastCaret_ = row;
  lastFirst_ = views_[0]->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
  following_ = false;
}

void CompareDialog::NextChange() {
  const std::size_t current = static_cast<std::size_t>(CurrentRow());
  for (std::size_t start : changeStarts_)
    if (start > current) return GoToRow(static_cast<int>(start));
}

void CompareDialog::PreviousChange() {
  const std::size_t current = static_cast<std::size_t>(CurrentRow());
  for (auto it = changeStarts_.rbegin(); it != changeStarts_.rend(); ++it)
    if (*it < current) return GoToRow(static_cast<int>(*it));
}

// Whatever one view scrolled to (or where its caret went), the other follows:
// the rows are the same in both. The scroll bars report late, sometimes after
// the other view moved, so the view that moved is the one that no longer
// stands where both were last put.
void CompareDialog::FollowScroll(int) {
  if (following_) return;
  following_ = true;
  auto follow = [this](long now0, long now1, long& last, auto&& apply) {
    if (now0 == now1) {
      last = now0;
      return;
    }
    const int mover = now0 != last ? 0 : 1;
    last = mover == 0 ? now0 : now1;
    apply(1 - mover, last);
  };
  int caret[2] = {0, 0}, index = 0;
  views_[0]->getCursorPosition(&caret[0], &index);
  views_[1]->getCursorPosition(&caret[1], &index);
  follow(caret[0], caret[1], lastCaret_, [this](int side, long line) { views_[side]->setCursorPosition(static_cast<int>(line), 0); });
  auto first = [this](int side) { return views_[side]->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE); };
  follow(first(0), first(1), lastFirst_, [this](int side, long line) { views_[side]->setFirstVisibleLine(static_cast<int>(line)); });
  auto x = [this](int side) { return views_[side]->SendScintilla(QsciScintillaBase::SCI_GETXOFFSET); };
  follow(x(0), x(1), lastX_, [this](int side, long offset) {
    views_[side]->SendScintilla(QsciScintillaBase::SCI_SETXOFFSET, static_cast<unsigned long>(offset));
  });
  following_ = false;
}

}  // namespace quelvo
