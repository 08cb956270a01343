// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/plot/PlotWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include "core/toolpath/PathSummary.h"
#include "gui/editor/EditorBytes.h"
#include "gui/editor/NcEdit.h"
#include "gui/plot/PlotLegend.h"

namespace quelvo {

namespace {
constexpr int kTextSettleMs = 500;  // re-interpretation waits for a pause in typing
constexpr int kPollMs = 100;
constexpr double kRapidRate = 10000.0;  // mm/min assumed for rapids in the time estimate

QString Minutes(double minutes) {
  const long seconds = std::lround(minutes * 60);
  return QString("%1:%2:%3").arg(seconds / 3600).arg(seconds / 60 % 60, 2, 10, QChar('0'))
      .arg(seconds % 60, 2, 10, QChar('0'));
}
}  // namespace

struct PlotWindow::Job {
  std::shared_ptr<const std::string> text;
  int32_t caretLine = 1;
  InterpretOptions options;
  std::atomic<bool> cancel{false};
  std::atomic<int> permille{0};
  std::atomic<bool> done{false};  // the results below are complete
  // Results, written by the worker before it posts Finished.
  std::vector<ProgramSpan> spans;
  ProgramSpan program;
  std::shared_ptr<ToolPath> path;
  PathSummary summary;
};

PlotWindow::PlotWindow(NcEdit* editor, QWidget* parent) : QWidget(parent, Qt::Window), editor_(editor) {
  setObjectName("PlotWindow");
  setWindowTitle("ツールパス表示");
  resize(900, 600);

  view_ = new PlotView(this);
  viewBox_ = new QComboBox(this);
  viewBox_->setObjectName("PlotViewBox");
  viewBox_->addItems({"上面 (XY)", "正面 (XZ)", "側面 (YZ)", "等角", "旋盤 (Z 横、X 縦)"});
  auto* fit = new QPushButton("全体表示", this);
  fit->setObjectName("PlotFit");
  wholeUnits_ = new QCheckBox("小数点なしを mm / inch で読む (電卓式)", this);
  wholeUnits_->setObjectName("PlotWholeUnits");
  lathe_ = new QCheckBox("旋盤 (X は直径、U W は増分)", this);
  lathe_->setObjectName("PlotLathe");
  skipDeleted_ = new QCheckBox("/ の行を飛ばす", this);
  skipDeleted_->setObjectName("PlotSkipDeleted");
  auto* top = new QHBoxLayout;
  top->addWidget(viewBox_);
  top->addWidget(fit);
  top->addWidget(wholeUnits_);
  top->addWidget(lathe_);
  top->addWidget(skipDeleted_);
  top->addStretch();

  convention_ = new QLabel(this);
  convention_->setObjectName("PlotConvention");
  convention_->setWordWrap(true);
  summary_ = new QLabel(this);
  summary_->setObjectName("PlotSummary");
  summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  summary_->setFont(QFont("monospace"));
  problems_ = new QListWidget(this);
  problems_->setObjectName("PlotProblems");
  problems_->setWordWrap(true);
  auto* side = new QWidget(this);
  auto* sideLayout = new QVBoxLayout(side);
  sideLayout->setContentsMargins(4, 0, 0, 0);
  sideLayout->addWidget(convention_);
  sideLayout->addWidget(summary_);
  sideLayout->addWidget(new PlotLegend(side));
  sideLayout->addWidget(new QLabel("解釈できない行・ヒント", side));
  sideLayout->addWidget(problems_, 1);
  auto* split = new QSplitter(this);
  split->addWidget(view_);
  split->addWidget(side);
  split->setStretchFactor(0, 3);
  split->setStretchFactor(1, 1);
  split->setSizes({640, 300});

  progress_ = new QProgressBar(this);
  progress_->setRange(0, 1000);
  progress_->setVisible(false);
  cancel_ = new QPushButton("中止", this);
  cancel_->setObjectName("PlotCancel");
  cancel_->setVisible(false);
  status_ = new QLabel(this);
  status_->setObjectName("PlotStatus");
  cursor_ = new QLabel(this);
  cursor_->setObjectName("PlotCursor");
  cursor_->setFont(QFont("monospace"));
  cursor_->setMinimumWidth(QFontMetrics(cursor_->font()).horizontalAdvance("Z -99999.999  X -99999.999 (直径)"));
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(status_, 1);
  bottom->addWidget(cursor_);
  bottom->addWidget(progress_, 2);
  bottom->addWidget(cancel_);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(split, 1);
  layout->addLayout(bottom);

  poll_ = new QTimer(this);
  poll_->setInterval(kPollMs);
  textSettle_ = new QTimer(this);
  textSettle_->setSingleShot(true);
  textSettle_->setInterval(kTextSettleMs);

  connect(viewBox_, qOverload<int>(&QComboBox::currentIndexChanged), this,
          [this](int i) { view_->SetView(static_cast<PlotViewKind>(i)); });
  connect(fit, &QPushButton::clicked, view_, &PlotView::Fit);
  // Numbers read a thousand times larger or smaller, or a lathe's path in
  // place of a mill's: the old zoom would show nothing useful.
  connect(wholeUnits_, &QCheckBox::toggled, this, &PlotWindow::StartFitted);
  connect(skipDeleted_, &QCheckBox::toggled, this, [this] { Start(); });
  connect(lathe_, &QCheckBox::toggled, this, [this](bool on) {
    viewBox_->setCurrentIndex(static_cast<int>(on ? PlotViewKind::Lathe : PlotViewKind::Top));
    StartFitted();
  });
  connect(view_, &PlotView::CursorMoved, cursor_, &QLabel::setText);
  connect(cancel_, &QPushButton::clicked, this, [this] {
    if (current_) current_->cancel = true;
  });
  connect(poll_, &QTimer::timeout, this, &PlotWindow::PollProgress);
  connect(textSettle_, &QTimer::timeout, this, &PlotWindow::Start);
  connect(view_, &PlotView::MoveClicked, this, [this](long move) {
    if (path_ && move >= 0 && static_cast<size_t>(move) < path_->size()) {
      JumpToLine(path_->line[static_cast<size_t>(move)]);
      view_->SetHighlight(move);
    }
  });
  auto jump = [this](QListWidgetItem* item) { JumpToLine(item->data(Qt::UserRole).toInt()); };
  connect(problems_, &QListWidget::itemActivated, this, jump);
  connect(problems_, &QListWidget::itemClicked, this, jump);
  connect(editor_, &QsciScintilla::cursorPositionChanged, this, [this](int line, int) { CaretMoved(line); });
  connect(editor_, &QsciScintilla::textChanged, textSettle_, qOverload<>(&QTimer::start));
  ShowConvention();
}

PlotWindow::~PlotWindow() {
  if (current_) current_->cancel = true;
  for (QThread* t : threads_) {
    t->wait();
    delete t;
  }
}

void PlotWindow::Refresh() { Start(); }

void PlotWindow::DocumentReplaced() {
  fitNext_ = true;
  if (isVisible()) Start();
}

void PlotWindow::StartFitted() {
  fitNext_ = true;
  Start();
}

void PlotWindow::Start() {
  textSettle_->stop();
  if (current_) current_->cancel = true;  // its result is no longer wanted
  auto job = std::make_shared<Job>();
  const std::string_view bytes = EditorBytes(editor_);
  job->text = std::make_shared<const std::string>(bytes);
  int line0 = 0, index = 0;
  editor_->getCursorPosition(&line0, &index);
  job->caretLine = line0 + 1;
  job->options.wholeUnits = wholeUnits_->isChecked();
  job->options.lathe = lathe_->isChecked();
  job->options.skipDeletedBlocks = skipDeleted_->isChecked();
  current_ = job;
  ShowConvention();
  QThread* thread = QThread::create([this, job] {
    job->spans = FindPrograms(*job->text);
    job->program = job->spans[ProgramAt(job->spans, job->caretLine)];
    const std::string_view text(*job->text);
    job->path = std::make_shared<ToolPath>(
        Interpret(text.substr(job->program.begin, job->program.end - job->program.begin), job->program.firstLine,
                  job->options, [job](double share) {
                    job->permille = static_cast<int>(share * 1000);
                    return !job->cancel.load();
                  }));
    job->summary = Summarize(*job->path, kRapidRate);
    job->text.reset();
    job->done = true;
    QMetaObject::invokeMethod(this, [this, job] { Finished(job); }, Qt::QueuedConnection);
  });
  // Finished threads are deleted as the next job starts, or with the window.
  for (auto it = threads_.begin(); it != threads_.end();) {
    if ((*it)->isFinished()) {
      delete *it;
      it = threads_.erase(it);
    } else {
      ++it;
    }
  }
  threads_.push_back(thread);
  ++running_;
  connect(thread, &QThread::finished, this, [this] { --running_; });
  status_->setText("解釈中…");
  thread->start();
  poll_->start();
}

void PlotWindow::PollProgress() {
  if (!current_ || current_->done) {
    poll_->stop();
    return;
  }
  progress_->setVisible(true);
  cancel_->setVisible(true);
  progress_->setValue(current_->permille);
}

void PlotWindow::Finished(std::shared_ptr<Job> job) {
  if (job != current_) return;  // superseded by a newer job
  poll_->stop();
  progress_->setVisible(false);
  cancel_->setVisible(false);
  // Shown whole: another program, or a path where there was none (a document
  // received into an empty editor), or when asked for.
  const bool fit = fitNext_ || !shownOnce_ || job->program.firstLine != program_.firstLine || summaryOfPath_.empty;
  fitNext_ = false;
  shownOnce_ = true;
  spans_ = std::move(job->spans);
  program_ = job->program;
  path_ = job->path;
  summaryOfPath_ = job->summary;
  view_->SetPath(path_, summaryOfPath_, fit);
  status_->setText(path_->cancelled ? QString("中止しました (%1 行目までを表示)").arg(path_->size() ? path_->line.back() : program_.firstLine)
                                    : QString("%1 行目から %2 行目のプログラム、移動 %3")
                                          .arg(program_.firstLine).arg(program_.lastLine).arg(path_->size()));
  ShowSummary();
  ShowProblems();
  int line0 = 0, index = 0;
  editor_->getCursorPosition(&line0, &index);
  CaretMoved(line0);
  emit Interpreted();
}

void PlotWindow::CaretMoved(int line0) {
  const int32_t line = line0 + 1;
  if (!spans_.empty() && (line < program_.firstLine || line > program_.lastLine) && !textSettle_->isActive()) {
    // The caret went into another program of the file.
    if (current_ && current_->done) Start();
    return;
  }
  view_->SetHighlight(path_ ? path_->FirstMoveOfLine(line) : -1);
}

void PlotWindow::JumpToLine(int32_t line) {
  if (line < 1) return;
  editor_->setCursorPosition(line - 1, 0);
  editor_->ensureLineVisible(line - 1);
  emit CaretPlaced();
}

void PlotWindow::ShowConvention() {
  convention_->setText(wholeUnits_->isChecked()
                           ? "小数点なしの数値: mm / inch 単位 (電卓式入力)"
                           : "小数点なしの数値: 最小設定単位 (0.001 mm / 0.0001 inch)");
}

void PlotWindow::ShowSummary() {
  const PathSummary& s = summaryOfPath_;
  if (s.empty) {
    summary_->setText("移動がありません");
    return;
  }
  auto row = [](const char* axis, double lo, double hi) {
    return QString("%1 %2 … %3\n").arg(axis).arg(lo, 10, 'f', 3).arg(hi, 10, 'f', 3);
  };
  summary_->setText(QString("範囲 (mm)\n") + row("X", s.min.x, s.max.x) + row("Y", s.min.y, s.max.y) +
                    row("Z", s.min.z, s.max.z) +
                    QString("早送り   %1 mm\n切削送り %2 mm\n加工時間 %3 (F から)\n早送り   %4 (10 m/min として)")
                        .arg(s.rapidLength, 0, 'f', 1)
                        .arg(s.feedLength, 0, 'f', 1)
                        .arg(Minutes(s.feedMinutes))
                        .arg(Minutes(s.rapidMinutes)));
}

void PlotWindow::ShowProblems() {
  problems_->clear();
  auto add = [this](const PathNote& note, const QString& prefix) {
    auto* item = new QListWidgetItem(QString("%1%2 行: %3").arg(prefix).arg(note.line).arg(QString::fromStdString(note.text)));
    item->setData(Qt::UserRole, note.line);
    item->setToolTip(item->text());
    problems_->addItem(item);
  };
  for (const PathNote& p : path_->problems) add(p, QString());
  for (const PathNote& h : path_->hints) add(h, "ヒント ");
  if (path_->problemsLeftOff > 0)
    problems_->addItem(QString("ほかに %1 件").arg(path_->problemsLeftOff));
}

}  // namespace quelvo
