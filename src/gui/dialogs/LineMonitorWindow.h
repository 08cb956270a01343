// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The line monitor window (「通信モニタ」): what passes on the line in both
// directions, live, with time stamps, control characters named and parity
// errors marked (as the core's LineMonitor writes it), the line's signals as
// lamps, and a button that saves what it saw as a text file.
//
// It reads the link's tap, so during a transfer it shows the transfer itself
// and changes nothing on the line. While no transfer runs it can watch the
// receive line: the idle watch opens the link's own port and lets go of it
// when a transfer starts, so the port is never held twice.
#include <QString>
#include <QStringList>
#include <QWidget>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "core/port/LineConfig.h"
#include "core/transfer/LineMonitor.h"
#include "core/transfer/link/IdleLineWatch.h"
#include "core/transfer/link/LineTap.h"
#include "core/transfer/link/TapMonitorFeed.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace quelvo {

class LineMonitorWindow : public QWidget {
  Q_OBJECT
 public:
  // `tap` is the link's, `watch` watches `port` (the link's port); all
  // outlive the window's use of them.
  LineMonitorWindow(LineTap& tap, IdleLineWatch& watch, SerialPort& port, QWidget* parent = nullptr);

  // The line watched while no transfer runs: its device (as the port opens
  // it), line state, code and the port text shown.
  void SetIdleLine(const std::string& device, const LineConfig& line, TapeCode code, const QString& portText);
  // A transfer takes the port: the idle watch lets go; the record follows
  // the transfer in `code`.
  void TransferStarting(TapeCode code);
  void TransferEnded();
  bool TransferRunning() const { return transferRunning_; }

  // Starts or ends watching the idle line (the button 「回線を監視」).
  bool StartWatching();
  void StopWatching();

  // Takes what the tap holds now (a timer does it ten times a second).
  void Poll();
  // The record's lines, as shown and saved.
  QStringList Lines() const;
  void Clear();
  // Writes the record as UTF-8 text, one line each; false with the reason.
  bool SaveTo(const QString& path, QString* error) const;
  // The lamps' states, for tests: "on", "off" or "?" (cannot be read / closed).
  QString LampState(const QString& name) const;

  // Replaceable for tests: the save dialog (empty: cancelled) and a message.
  std::function<QString(QWidget* parent)> chooseSaveFile;
  std::function<void(QWidget* parent, const QString& text)> showError;

  QPushButton* WatchButton() const { return watchButton_; }
  QPushButton* SaveButton() const { return saveButton_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void AddLine(const std::string& line);
  void ShowLamps();
  void ShowCounts();
  void Save();
  void SetWatchUi();

  LineTap& tap_;
  IdleLineWatch& watch_;
  SerialPort& port_;
  std::unique_ptr<LineMonitor> monitor_;
  LineLamps lamps_;
  std::deque<std::string> lines_;  // bounded as the view is
  std::string idleDevice_;
  LineConfig idleLine_;
  TapeCode idleCode_ = TapeCode::Undecided;
  QString idlePortText_;
  bool transferRunning_ = false;
  bool watching_ = false;

  QLabel* lampLabels_[5] = {};
  QPlainTextEdit* view_ = nullptr;
  QLabel* counts_ = nullptr;
  QPushButton* watchButton_ = nullptr;
  QPushButton* clearButton_ = nullptr;
  QPushButton* saveButton_ = nullptr;
  QTimer* timer_ = nullptr;
};

}  // namespace quelvo
