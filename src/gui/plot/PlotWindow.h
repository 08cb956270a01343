// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The toolpath plot of the document: the program under the editor's caret
// interpreted in a worker thread (with progress and "中止" for big files),
// drawn in four views, with its extents, lengths and estimated time beside it
// and the list of what could not be interpreted, a legend and the coordinates
// under the mouse. The caret's line highlights its move; a click on a move or
// on a listed problem puts the caret on its line. A new document, another
// program of the file, the lathe switch or the reading of numbers without a
// point show the new path whole; edits keep the zoom.
#include <QWidget>
#include <atomic>
#include <memory>
#include <vector>

#include "core/toolpath/NcInterpreter.h"
#include "core/toolpath/PathSummary.h"
#include "core/toolpath/ProgramSpans.h"
#include "gui/plot/PlotView.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QProgressBar;
class QPushButton;
class QThread;
class QTimer;

namespace quelvo {

class NcEdit;

class PlotWindow : public QWidget {
  Q_OBJECT
 public:
  explicit PlotWindow(NcEdit* editor, QWidget* parent = nullptr);
  ~PlotWindow() override;

  // Interprets the program under the caret anew.
  void Refresh();
  // The editor holds another document (opened, new, received): the plot
  // shows it whole, now if the window is shown, otherwise when next refreshed.
  void DocumentReplaced();
  bool Busy() const { return running_ > 0; }
  std::shared_ptr<const ToolPath> Path() const { return path_; }
  PlotView* View() const { return view_; }
  QListWidget* Problems() const { return problems_; }
  QCheckBox* WholeUnitsBox() const { return wholeUnits_; }
  QCheckBox* LatheBox() const { return lathe_; }
  QComboBox* ViewBox() const { return viewBox_; }
  QPushButton* CancelButton() const { return cancel_; }
  QLabel* SummaryLabel() const { return summary_; }
  QLabel* ConventionLabel() const { return convention_; }
  QLabel* StatusLabel() const { return status_; }
  QLabel* CursorLabel() const { return cursor_; }
  // The 1-based line range of the program shown.
  const ProgramSpan& Program() const { return program_; }

 signals:
  void Interpreted();  // a result (complete or cancelled) is shown
  void CaretPlaced();  // the plot put the editor's caret on a line (a click)

 private:
  struct Job;
  void Start();
  void StartFitted();  // Start, and show the result whole
  void Finished(std::shared_ptr<Job> job);
  void CaretMoved(int line0);
  void JumpToLine(int32_t line);
  void ShowSummary();
  void ShowProblems();
  void ShowConvention();
  void PollProgress();

  NcEdit* editor_;
  PlotView* view_;
  QComboBox* viewBox_;
  QCheckBox* wholeUnits_;
  QCheckBox* lathe_;
  QCheckBox* skipDeleted_;
  QLabel* convention_;
  QLabel* summary_;
  QListWidget* problems_;
  QProgressBar* progress_;
  QPushButton* cancel_;
  QLabel* status_;
  QLabel* cursor_;
  QTimer* poll_;
  QTimer* textSettle_;

  std::shared_ptr<const ToolPath> path_;
  PathSummary summaryOfPath_;
  ProgramSpan program_;
  std::vector<ProgramSpan> spans_;
  std::shared_ptr<Job> current_;
  std::vector<QThread*> threads_;
  int running_ = 0;
  bool shownOnce_ = false;
  bool fitNext_ = false;  // the next result is shown whole
};

}  // namespace quelvo
