// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "途中から送信": the restart of the document at one of its lines. The dialog
// plans the restart (core RestartPlan) for the line chosen, shows the
// preamble for editing, the refusals and warnings with their lines, and the
// restart point highlighted in a toolpath plot of the program; "送信" is
// offered only when the restart is not refused. The window sends what
// ProgramText() gives through its normal send.
#include <QDialog>
#include <memory>
#include <string>

#include "core/toolpath/RestartPlan.h"
#include "core/toolpath/ToolPath.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace quelvo {

class PlotView;

class RestartDialog : public QDialog {
  Q_OBJECT
 public:
  // `text` the document (UTF-8), `line` the
  // line proposed (1-based); `reason` says why that line is proposed, or "".
  RestartDialog(std::string text, int line, const InterpretOptions& options, const QString& reason,
                QWidget* parent = nullptr);
  ~RestartDialog() override;

  int Line() const;
  const RestartPlan& Plan() const { return plan_; }
  // The preamble as edited, then the rest of the program as written.
  std::string ProgramText() const;
  int PreambleLineCount() const;
  // The log line naming the restart line.
  std::string LogLine() const { return RestartLogLine(plan_, text_); }

  QSpinBox* LineBox() const { return lineBox_; }
  QLineEdit* ClearanceEdit() const { return clearance_; }
  QPlainTextEdit* PreambleEdit() const { return preamble_; }
  QListWidget* Notes() const { return notes_; }
  QPushButton* SendButton() const { return send_; }
  QPushButton* OfferButton() const { return offer_; }
  QLabel* BlockLabel() const { return block_; }
  PlotView* Plot() const { return plot_; }

 signals:
  // The line chosen changed (and once at the start): the window puts its
  // caret there, so that an open toolpath window shows the same move.
  void LineChosen(int line);

 private:
  void Replan();
  void ShowPath();

  std::string text_;
  InterpretOptions options_;
  RestartPlan plan_;
  std::shared_ptr<const ToolPath> path_;
  int32_t pathFirst_ = 0, pathLast_ = -1;  // lines of the program the plot shows

  QSpinBox* lineBox_;
  QLineEdit* clearance_;
  QLabel* block_;
  QPlainTextEdit* preamble_;
  QListWidget* notes_;
  PlotView* plot_;
  QPushButton* offer_;
  QPushButton* send_;
};

}  // namespace quelvo
