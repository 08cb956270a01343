// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The compare window: the open document and another program side by side,
// block against block as the core's compare aligned them. The two views
// scroll together; changed blocks are yellow with their changed words marked,
// added blocks green, removed blocks red, each opposite a grey gap. The
// options are check boxes and compare again when changed; "前の変更" and
// "次の変更" move both views to the previous or next change; the summary line
// counts the changes ("変更 3 ブロック、追加 1、削除 0").
#include <QDialog>
#include <QString>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/compare/CompareOptions.h"
#include "core/compare/CompareRows.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QsciScintilla;

namespace quelvo {

class CompareDialog : public QDialog {
  Q_OBJECT
 public:
  explicit CompareDialog(QWidget* parent = nullptr);

  // The programs to compare: names for the headers, texts as UTF-8 (any line ends).
  void SetPrograms(const QString& nameA, std::string textA, const QString& nameB, std::string textB);

  CompareOptions Options() const;
  void SetOptions(const CompareOptions& options);

  QString Summary() const;
  const std::vector<CompareRow>& Rows() const { return rows_; }
  // The row the views stand on (the caret's line, the same in both views).
  int CurrentRow() const;
  void NextChange();
  void PreviousChange();

  QsciScintilla* LeftView() const { return views_[0]; }
  QsciScintilla* RightView() const { return views_[1]; }

 private:
  void Recompare();
  void Fill(int side);
  void GoToRow(int row);
  void FollowScroll(int from);

  std::array<QString, 2> names_;
  std::array<std::string, 2> texts_;
  std::array<std::vector<std::string_view>, 2> lines_;
  std::vector<CompareRow> rows_;
  std::vector<std::size_t> changeStarts_;

  std::array<QLabel*, 2> headers_{};
  std::array<QsciScintilla*, 2> views_{};
  QCheckBox* ignoreBlanks_;
  QCheckBox* ignoreSequenceNumbers_;
  QCheckBox* numbersByValue_;
  QCheckBox* pointlessInIncrement_;
  QCheckBox* ignoreComments_;
  QCheckBox* ignoreFrame_;
  QPushButton* previous_;
  QPushButton* next_;
  QLabel* summary_;
  bool following_ = false;
  long lastCaret_ = 0, lastFirst_ = 0, lastX_ = 0;  // where both views were last put
};

}  // namespace quelvo
