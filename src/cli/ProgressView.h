// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The engines' events as a terminal shows them. On a terminal: one line
// redrawn in place (percentage, bytes of total, characters per second, time
// left, the program number, the state); on a pipe or file: a plain line every
// few seconds; nothing with --quiet. At the end a summary on stderr and, with
// --json, one JSON object on stdout.
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>

#include "core/transfer/LineErrorText.h"
#include "core/transfer/TransferEvents.h"

namespace quelvo::cli {

enum class ProgressStyle { kBar, kLines, kNone };

// The figures of a transfer so far.
struct TransferFigures {
  TransferDirection direction = TransferDirection::Send;
  TransferPhase phase = TransferPhase::kWaitingForControl;
  bool paused = false;          // the control's pause code holds the send
  int64_t bytes = 0;            // sent (send) or received lines' bytes as saved (receive)
  int64_t totalBytes = 0;       // the amount to send; 0 when unknown
  int64_t lines = 0;            // lines received
  std::string program;          // the program-number line in progress
  int64_t dataStartMs = -1;     // when the data began; -1 before
  int64_t waitingSinceMs = -1;  // when the wait for the control's start began; -1 before
  int64_t nowMs = 0;
};

// One line of progress text for the figures (no line end).
std::string ProgressLine(const TransferFigures& f, bool withBar);
// "m:ss" (or "h:mm:ss").
std::string DurationText(int64_t seconds);

class ProgressView : public TransferEvents {
 public:
  using Clock = std::function<int64_t()>;  // monotonic milliseconds
  ProgressView(std::ostream& err, ProgressStyle style, Clock clock);

  // Redraws when due (called from the host's Idle).
  void Tick();
  // Ends a bar line before other text is written to the terminal.
  void BreakLine();
  const TransferFigures& Figures() const { return f_; }
  int64_t StartMs() const { return startMs_; }
  // The saved file's size as the received amount (the events count lines).
  void SetReceivedBytes(int64_t bytes) { f_.bytes = bytes; }

  // --- TransferEvents ---
  void Started(TransferDirection direction, bool amountsInMeters) override;
  void Preparing() override {}
  void PhaseChanged(TransferPhase phase) override;
  void LineSettings(const ActiveSetting&) override {}
  void CodeDetected(TapeCode) override {}
  void AmountToSend(int64_t totalChars) override { f_.totalBytes = totalChars; }
  void SendTotal(int64_t totalChars, bool dataBegins) override;
  void CharactersSent(int64_t sentChars, int64_t totalChars, int32_t remainingSeconds) override;
  void AllDataSent() override {}
  void RepeatPass(int) override {}
  void ReceiveBlock(int blockLines) override;
  void LinesInBlock(int lines) override;
  void ProgramLine(const std::string& line) override { f_.program = line; }
  void ControlFileName(const std::string&) override {}
  void Title(const std::string&) override {}
  void DsrState(bool) override {}
  void CtsState(bool) override {}
  void ControlPaused(bool paused) override;

 private:
  void Draw(bool force);

  std::ostream& err_;
  ProgressStyle style_;
  Clock clock_;
  TransferFigures f_;
  int64_t startMs_ = 0;
  int64_t lastDrawMs_ = -1000000;
  int64_t blockBase_ = 0;  // lines of the blocks already written
  int blockLines_ = 0;
  int lastInBlock_ = 0;
  bool lineOpen_ = false;  // a bar line stands without its line end
};

// The summary after a transfer.
struct TransferSummary {
  std::string command;    // "send" or "receive"
  std::string file;
  int setting = 0;        // the menu place, as --setting takes it
  std::string port;
  int64_t bytes = 0;
  int64_t lines = 0;
  double seconds = 0;
  bool completed = false;
  int errorNumber = 0;
  int exitStatus = 0;
  std::string result;     // the state text, as the window's panel shows it
  LineErrorReport lineErrors;  // the driver's receive error counts
};

std::string SummaryText(const TransferSummary& s);
std::string SummaryJson(const TransferSummary& s);

}  // namespace quelvo::cli
