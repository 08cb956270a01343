// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/dialogs/LineMonitorWindow.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <chrono>

#include "core/transfer/LineDetect.h"

namespace quelvo {
namespace {

// Lines kept (and shown): a monitor left open for days stays bounded.
constexpr std::size_t kMaxLines = 50000;
constexpr int kPollMs = 100;

const char* const kLampNames[5] = {"DTR", "RTS", "CTS", "DSR", "DCD"};

QString Text(const std::string& s) { return QString::fromStdString(s); }

LineMonitor::Clock::time_point Now() { return LineMonitor::Clock::now(); }

}  // namespace

LineMonitorWindow::LineMonitorWindow(LineTap& tap, IdleLineWatch& watch, SerialPort& port, QWidget* parent)
    : QWidget(parent, Qt::Window), tap_(tap), watch_(watch), port_(port) {
  setObjectName("LineMonitorWindow");
  setWindowTitle("通信モニタ");
  resize(760, 460);

  auto* lampRow = new QHBoxLayout;
  lampRow->addWidget(new QLabel("信号線:", this));
  for (int i = 0; i < 5; ++i) {
    auto* lamp = new QLabel(kLampNames[i], this);
    lamp->setObjectName(QString("lamp") + kLampNames[i]);
    lamp->setAlignment(Qt::AlignCenter);
    lamp->setMinimumWidth(48);
    lampLabels_[i] = lamp;
    lampRow->addWidget(lamp);
  }
  lampRow->addStretch(1);
  counts_ = new QLabel(this);
  counts_->setObjectName("counts");
  lampRow->addWidget(counts_);

  view_ = new QPlainTextEdit(this);
  view_->setObjectName("record");
  view_->setReadOnly(true);
  view_->setLineWrapMode(QPlainTextEdit::NoWrap);
  view_->setMaximumBlockCount(static_cast<int>(kMaxLines));
  // One fixed-width face for the Latin and the Japanese text, so the columns
  // of the time stamps stay aligned on every line.
  QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  fixed.setFamilies({"Noto Sans Mono CJK JP", fixed.family()});
  view_->setFont(fixed);

  watchButton_ = new QPushButton("回線を監視", this);
  watchButton_->setObjectName("watchButton");
  watchButton_->setCheckable(true);
  watchButton_->setToolTip("転送していない間、受信ポートを開いて回線を監視します");
  clearButton_ = new QPushButton("消去", this);
  saveButton_ = new QPushButton("保存...", this);
  saveButton_->setObjectName("saveButton");
  auto* closeButton = new QPushButton("閉じる", this);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(watchButton_);
  buttons->addStretch(1);
  buttons->addWidget(clearButton_);
  buttons->addWidget(saveButton_);
  buttons->addWidget(closeButton);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(lampRow);
  layout->addWidget(view_, 1);
  layout->addLayout(buttons);

  chooseSaveFile = [](QWidget* owner) {
    return QFileDialog::getSaveFileName(owner, "通信モニタの保存", "monitor.txt", "テキスト (*.txt);;すべて (*)");
  };
  showError = [](QWidget* owner, const QString& text) { QMessageBox::warning(owner, "通信モニタ", text); };

  connect(watchButton_, &QPushButton::clicked, this, [this](bool on) {
    if (on) {
      StartWatching();
    } else {
      StopWatching();
    }
  });
  connect(clearButton_, &QPushButton::clicked, this, &LineMonitorWindow::Clear);
  connect(saveButton_, &QPushButton::clicked, this, &LineMonitorWindow::Save);
  connect(closeButton, &QPushButton::clicked, this, &QWidget::close);

  timer_ = new QTimer(this);
  connect(timer_, &QTimer::timeout, this, &LineMonitorWindow::Poll);

  monitor_ = std::make_unique<LineMonitor>(TapeCode::Undecided, [this](const std::string& line) { AddLine(line); });
  monitor_->Note(Now(), "表記: <DC1> などは制御文字、<XX> はコードに無いバイト (16 進)、<PE XX> はパリティ誤り");
  ShowLamps();
  ShowCounts();
  SetWatchUi();
}

void LineMonitorWindow::SetIdleLine(const std::string& device, const LineConfig& line, TapeCode code,
                                    const QString& portText) {
  idleDevice_ = device;
  idleLine_ = line;
  idleCode_ = code;
  idlePortText_ = portText;
}

void LineMonitorWindow::AddLine(const std::string& line) {
  lines_.push_back(line);
  if (lines_.size() > kMaxLines) lines_.pop_front();
  view_->appendPlainText(Text(line));
}

QStringList LineMonitorWindow::Lines() const {
  QStringList lines;
  for (const std::string& line : lines_) lines << Text(line);
  return lines;
}

void LineMonitorWindow::Clear() {
  lines_.clear();
  view_->clear();
}

bool LineMonitorWindow::StartWatching() {
  if (transferRunning_ || watching_) return watching_;
  if (idleDevice_.empty()) {
    showError(this, "受信ポートが設定されていません。");
    SetWatchUi();
    return false;
  }
  tap_.SetListening(true);
  std::string error;
  if (!watch_.Start(port_, idleDevice_, idleLine_, &error)) {
    monitor_->Note(Now(), "回線を開けません: " + error);
    showError(this, "回線を開けません。\n" + Text(error));
    SetWatchUi();
    return false;
  }
  watching_ = true;
  monitor_->SetCode(idleCode_);
  monitor_->Note(Now(), "回線の監視を開始  ポート " + idlePortText_.toStdString() + "  " +
                            std::to_string(idleLine_.baudRate) + " bps データ長 " +
                            std::to_string(idleLine_.byteSize) + "  コード " +
                            (idleCode_ == TapeCode::Undecided ? "EIA/ISO 自動判別" : TapeCodeName(idleCode_)));
  SetWatchUi();
  return true;
}

void LineMonitorWindow::StopWatching() {
  if (!watching_) return;
  watch_.Stop();
  watching_ = false;
  Poll();
  monitor_->Note(Now(), "回線の監視を終了");
  SetWatchUi();
}

void LineMonitorWindow::TransferStarting(TapeCode code) {
  // The transfer opens the port itself: the idle watch lets go of it first.
  if (watching_) StopWatching();
  Poll();
  transferRunning_ = true;
  monitor_->SetCode(code);
  monitor_->Note(Now(), std::string("転送開始  コード ") +
                            (code == TapeCode::Undecided ? "EIA/ISO 自動判別" : TapeCodeName(code)));
  SetWatchUi();
}

void LineMonitorWindow::TransferEnded() {
  Poll();
  monitor_->Flush();
  transferRunning_ = false;
  SetWatchUi();
}

void LineMonitorWindow::SetWatchUi() {
  watchButton_->setEnabled(!transferRunning_);
  watchButton_->setChecked(watching_);
  watchButton_->setToolTip(transferRunning_ ? "転送中はその転送の回線を表示します"
                                            : "転送していない間、受信ポートを開いて回線を監視します");
}

void LineMonitorWindow::Poll() {
  std::vector<TapEvent> events;
  const std::uint64_t dropped = tap_.Drain(&events);
  if (!events.empty() || dropped != 0) {
    ShowTapEvents(events, dropped, monitor_.get(), &lamps_);
    ShowLamps();
    ShowCounts();
  } else {
    // A line in the making is shown once the line goes quiet.
    monitor_->Flush();
  }
  if (watching_ && !watch_.Watching()) {
    // The port failed under the watch (an adapter pulled out).
    const std::string reason = watch_.Failure();
    watch_.Stop();
    watching_ = false;
    Poll();
    monitor_->Note(Now(), "回線を読めない為、監視を終了: " + reason);
    SetWatchUi();
  }
}

void LineMonitorWindow::ShowLamps() {
  for (int i = 0; i < 5; ++i) {
    const QString state = LampState(kLampNames[i]);
    QString style = "QLabel { border: 1px solid #555; border-radius: 3px; padding: 2px; ";
    if (state == "on") {
      style += "background: #2fbf3f; color: black; }";
    } else if (state == "off") {
      style += "background: #6b6b6b; color: white; }";
    } else {
      style += "background: #e8e8e8; color: #888; border-style: dashed; }";
    }
    lampLabels_[i]->setStyleSheet(style);
    lampLabels_[i]->setToolTip(state == "?" ? "読めません" : state == "on" ? "ON" : "OFF");
  }
}

QString LineMonitorWindow::LampState(const QString& name) const {
  if (!lamps_.open) return "?";
  if (name == "DTR") return (lamps_.outputBits & kTapDtr) != 0 ? "on" : "off";
  if (name == "RTS") return (lamps_.outputBits & kTapRts) != 0 ? "on" : "off";
  if (!lamps_.modemReadable) return "?";
  const std::uint32_t bit = name == "CTS" ? kModemCts : name == "DSR" ? kModemDsr : kModemDcd;
  return (lamps_.modemBits & bit) != 0 ? "on" : "off";
}

void LineMonitorWindow::ShowCounts() {
  counts_->setText(QString("受信 %1 バイト  送信 %2 バイト  パリティ誤り %3")
                       .arg(monitor_->ByteCount(MonitorDirection::kFromControl))
                       .arg(monitor_->ByteCount(MonitorDirection::kToControl))
                       .arg(monitor_->ParityErrors()));
}

bool LineMonitorWindow::SaveTo(const QString& path, QString* error) const {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    *error = file.errorString();
    return false;
  }
  for (const std::string& line : lines_) {
    const std::string out = line + "\n";
    if (file.write(out.data(), static_cast<qint64>(out.size())) != static_cast<qint64>(out.size())) {
      *error = file.errorString();
      return false;
    }
  }
  if (!file.flush()) {
    *error = file.errorString();
    return false;
  }
  return true;
}

void LineMonitorWindow::Save() {
  Poll();
  const QString path = chooseSaveFile(this);
  if (path.isEmpty()) return;
  QString error;
  if (!SaveTo(path, &error)) showError(this, path + " に保存できません。\n" + error);
}

void LineMonitorWindow::showEvent(QShowEvent* event) {
  tap_.SetListening(true);
  timer_->start(kPollMs);
  QWidget::showEvent(event);
}

void LineMonitorWindow::closeEvent(QCloseEvent* event) {
  StopWatching();
  timer_->stop();
  tap_.SetListening(false);
  Poll();  // what was in the ring, so that nothing stale shows next time
  QWidget::closeEvent(event);
}

}  // namespace quelvo
