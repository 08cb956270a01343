// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/dialogs/RestartDialog.h"

#include <QApplication>
#include <QDoubleValidator>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>

#include "core/toolpath/PathSummary.h"
#include "core/toolpath/ProgramSpans.h"
#include "core/toolpath/RestartPreamble.h"
#include "gui/plot/PlotView.h"

namespace quelvo {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

int LineCountOf(std::string_view text) {
  return 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

}  // namespace

RestartDialog::RestartDialog(std::string text, int line, const InterpretOptions& options,
                             const QString& reason, QWidget* parent)
    : QDialog(parent), text_(std::move(text)), options_(options) {
  setWindowTitle("途中から送信");
  setObjectName("RestartDialog");
  resize(880, 560);

  lineBox_ = new QSpinBox(this);
  lineBox_->setObjectName("RestartLine");
  lineBox_->setRange(1, LineCountOf(text_));
  lineBox_->setSuffix(" 行目");
  clearance_ = new QLineEdit(this);
  clearance_->setObjectName("RestartClearance");
  auto* validator = new QDoubleValidator(clearance_);
  validator->setLocale(QLocale::c());
  clearance_->setValidator(validator);
  block_ = new QLabel(this);
  block_->setObjectName("RestartBlock");
  block_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* top = new QGridLayout;
  top->addWidget(new QLabel("再開する行:", this), 0, 0);
  top->addWidget(lineBox_, 0, 1);
  top->addWidget(new QLabel(options.lathe ? "逃げ位置 X (直径):" : "安全高さ Z:", this), 0, 2);
  top->addWidget(clearance_, 0, 3);
  top->addWidget(block_, 1, 0, 1, 4);
  top->setColumnStretch(4, 1);
  if (!reason.isEmpty()) {
    auto* why = new QLabel(reason, this);
    why->setObjectName("RestartReason");
    why->setWordWrap(true);
    top->addWidget(why, 2, 0, 1, 5);
  }

  preamble_ = new QPlainTextEdit(this);
  preamble_->setObjectName("RestartPreamble");
  preamble_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  preamble_->setLineWrapMode(QPlainTextEdit::NoWrap);
  notes_ = new QListWidget(this);
  notes_->setObjectName("RestartNotes");
  notes_->setWordWrap(true);
  notes_->setTextElideMode(Qt::ElideNone);
  notes_->setResizeMode(QListView::Adjust);
  plot_ = new PlotView(this);
  plot_->setObjectName("RestartPlot");
  plot_->setMinimumSize(320, 240);

  auto* left = new QWidget(this);
  auto* leftColumn = new QVBoxLayout(left);
  leftColumn->setContentsMargins(0, 0, 0, 0);
  leftColumn->addWidget(new QLabel("前置き (送信前に編集できます):", this));
  leftColumn->addWidget(preamble_, 3);
  leftColumn->addWidget(new QLabel("再開できない理由と警告:", this));
  leftColumn->addWidget(notes_, 2);
  auto* right = new QWidget(this);
  auto* rightColumn = new QVBoxLayout(right);
  rightColumn->setContentsMargins(0, 0, 0, 0);
  rightColumn->addWidget(new QLabel("ツールパス (再開する移動を強調表示):", this));
  rightColumn->addWidget(plot_, 1);
  auto* split = new QSplitter(this);
  split->addWidget(left);
  split->addWidget(right);
  split->setStretchFactor(0, 1);
  split->setStretchFactor(1, 1);

  offer_ = new QPushButton(this);
  offer_->setObjectName("RestartOffer");
  send_ = new QPushButton("送信", this);
  send_->setObjectName("RestartSend");
  send_->setDefault(true);
  auto* close = new QPushButton("閉じる", this);
  close->setObjectName("RestartClose");
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(offer_);
  buttons->addStretch(1);
  buttons->addWidget(send_);
  buttons->addWidget(close);

  auto* column = new QVBoxLayout(this);
  column->addLayout(top);
  column->addWidget(split, 1);
  column->addLayout(buttons);

  lineBox_->setValue(std::clamp(line, 1, lineBox_->maximum()));
  connect(lineBox_, qOverload<int>(&QSpinBox::valueChanged), this, [this] {
    Replan();
    emit LineChosen(lineBox_->value());
  });
  connect(clearance_, &QLineEdit::editingFinished, this, [this] { Replan(); });
  connect(offer_, &QPushButton::clicked, this, [this] {
    if (plan_.Offer() > 0) lineBox_->setValue(plan_.Offer());
  });
  connect(notes_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    const int offer = item->data(Qt::UserRole).toInt();
    if (offer > 0) lineBox_->setValue(offer);
  });
  connect(send_, &QPushButton::clicked, this, &QDialog::accept);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  Replan();
}

RestartDialog::~RestartDialog() = default;

int RestartDialog::Line() const { return lineBox_->value(); }

void RestartDialog::Replan() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  RestartOptions options;
  options.interpret = options_;
  bool ok = false;
  const double clearance = clearance_->text().trimmed().toDouble(&ok);
  options.hasClearance = ok;
  options.clearance = clearance;
  plan_ = PlanRestart(text_, lineBox_->value(), options);
  const std::string_view text_ = this->text_;
  QApplication::restoreOverrideCursor();

  // The block as written.
  size_t end = text_.find('\n', plan_.restBegin);
  if (end == std::string_view::npos) end = text_.size();
  std::string block(text_.substr(plan_.restBegin, end - plan_.restBegin));
  while (!block.empty() && (block.back() == '\r' || block.back() == ' ')) block.pop_back();
  block_->setText(plan_.error.empty() ? "再開ﾌﾞﾛｯｸ: " + Q(block) : QString());

  clearance_->setPlaceholderText(plan_.error.empty() ? "自動 (" + Q(ProgramNumber(plan_.clearance, plan_.inch)) + ")"
                                                     : "自動");
  QString preamble;
  for (const std::string& l : plan_.preamble) preamble += Q(l) + "\n";
  preamble_->setPlainText(preamble);

  notes_->clear();
  auto add = [this](bool refusal, int line, const QString& text, int offer) {
    QString caption = refusal ? "再開できません: " : "警告: ";
    if (line > 0) caption = QString("%1行目 ").arg(line) + caption;
    auto* item = new QListWidgetItem(caption + text, notes_);
    item->setToolTip(caption + text);
    item->setForeground(refusal ? QColor(0xc0, 0, 0) : QColor(0x80, 0x50, 0));
    item->setData(Qt::UserRole, offer);
  };
  if (!plan_.error.empty()) add(true, 0, Q(plan_.error), plan_.errorOffer);
  for (const RestartNote& n : plan_.notes) add(n.refusal, n.line, Q(n.text), n.offer);
  if (notes_->count() == 0) new QListWidgetItem("ありません", notes_);

  const int offer = plan_.Offer();
  offer_->setVisible(plan_.Refused() && offer > 0);
  offer_->setText(QString("%1行目から再開").arg(offer));
  send_->setEnabled(!plan_.Refused());
  ShowPath();
}

// The program holding the line, interpreted once, with the move the restart
// goes to highlighted.
void RestartDialog::ShowPath() {
  const int32_t line = lineBox_->value();
  if (line < pathFirst_ || line > pathLast_) {
    const std::vector<ProgramSpan> spans = FindPrograms(text_);
    const ProgramSpan& span = spans[ProgramAt(spans, line)];
    const std::string_view text = text_;
    path_ = std::make_shared<const ToolPath>(
        Interpret(text.substr(span.begin, span.end - span.begin), span.firstLine, options_));
    pathFirst_ = span.firstLine;
    pathLast_ = span.lastLine;
    plot_->SetView(options_.lathe ? PlotViewKind::Lathe : PlotViewKind::Top);
    plot_->SetPath(path_, Summarize(*path_), true);
  }
  const long move =
      static_cast<long>(std::lower_bound(path_->line.begin(), path_->line.end(), line) - path_->line.begin());
  plot_->SetHighlight(move < static_cast<long>(path_->size()) ? move : -1);
}

std::string RestartDialog::ProgramText() const {
  std::string edited = preamble_->toPlainText().toStdString();
  const std::string_view text_ = this->text_;
  const bool crlf = text_.find("\r\n") != std::string_view::npos;
  std::string out;
  for (char c : edited) {
    if (c == '\n' && crlf) out += '\r';
    out += c;
  }
  if (!out.empty() && out.back() != '\n') out += crlf ? "\r\n" : "\n";
  out.append(text_.substr(plan_.restBegin, plan_.restEnd - plan_.restBegin));
  return out;
}

int RestartDialog::PreambleLineCount() const {
  const std::string edited = preamble_->toPlainText().toStdString();
  int lines = static_cast<int>(std::count(edited.begin(), edited.end(), '\n'));
  if (!edited.empty() && edited.back() != '\n') ++lines;
  return lines;
}

}  // namespace quelvo
